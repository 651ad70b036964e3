; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | int a[5];
;     2 | struct pt { int x; int y; } pt;
;     3 | char *np = 0;
	SEGMENT	data
_np:		FDB	0
	EXPORT	_np	[r,2]
;     4 | char *io = (char *)0xE000;
_io:		FDB	$E000
	EXPORT	_io	[r,2]
;     5 | int *pa = &a[2];
_pa:		FDB	_a+4
	EXPORT	_pa	[r,2]
;     6 | int *pb = a + 3;
_pb:		FDB	_a+6
	EXPORT	_pb	[r,2]
;     7 | int *py = &pt.y;
_py:		FDB	_pt+2
	EXPORT	_py	[r,2]
;     8 | int *pn = &a[4] - 1;
_pn:		FDB	_a+6
	EXPORT	_pn	[r,2]
;     9 | extern int ext;
;    10 | int *pe = &ext;
_pe:		FDB	_ext
	EXPORT	_pe	[r,2]
;    11 | int get(void);
;    12 | int (*fn)(void) = get;
_fn:		FDB	_get
	EXPORT	_fn	[r,2]
;    13 | static int local;
;    14 | int *pl = &local;
_pl:		FDB	_1
	EXPORT	_pl	[r,2]
;    15 | int *pp[2] = {&a[0], 0};
_pp:
	FDB	_a,0
	EXPORT	_pp	[r,4]
;    16 | static int five = 5;
_2:		FDB	$5
;    17 | int *p5 = &five;
_p5:		FDB	_2
	EXPORT	_p5	[r,2]
	SEGMENT	bss
_a:	RMB	$A
	EXPORT	_a	[r,10]
_pt:	RMB	$4
	EXPORT	_pt	[r,4]
_1:	RMB	$2
