; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: -Op -Osp -Ordc -Ocm -Ora; Debug option disabled code motion and register allocation

* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | int a[5];
.stab sym G:a:_a:(typ16-pointers)
;     2 | struct pt { int x; int y; } pt;
.stab sym G:pt:_pt:(typ17-pointers)
;     3 | char *np = 0;
	SEGMENT	data
_np:		FDB	0
	EXPORT	_np	[r,2]
.stab sym G:np:_np:(typ10)
;     4 | char *io = (char *)0xE000;
_io:		FDB	$E000
	EXPORT	_io	[r,2]
.stab sym G:io:_io:(typ10)
;     5 | int *pa = &a[2];
_pa:		FDB	_a+4
	EXPORT	_pa	[r,2]
.stab sym G:pa:_pa:(typ18-pointers)
;     6 | int *pb = a + 3;
_pb:		FDB	_a+6
	EXPORT	_pb	[r,2]
.stab sym G:pb:_pb:(typ18-pointers)
;     7 | int *py = &pt.y;
_py:		FDB	_pt+2
	EXPORT	_py	[r,2]
.stab sym G:py:_py:(typ18-pointers)
;     8 | int *pn = &a[4] - 1;
_pn:		FDB	_a+6
	EXPORT	_pn	[r,2]
.stab sym G:pn:_pn:(typ18-pointers)
;     9 | extern int ext;
;    10 | int *pe = &ext;
_pe:		FDB	_ext
	EXPORT	_pe	[r,2]
.stab sym G:pe:_pe:(typ18-pointers)
;    11 | int get(void);
;    12 | int (*fn)(void) = get;
_fn:		FDB	_get
	EXPORT	_fn	[r,2]
.stab sym G:fn:_fn:(typ19-pointers)
;    13 | static int local;
.stab sym S:local:_1:(typ11)
;    14 | int *pl = &local;
_pl:		FDB	_1
	EXPORT	_pl	[r,2]
.stab sym G:pl:_pl:(typ18-pointers)
;    15 | int *pp[2] = {&a[0], 0};
_pp:
	FDB	_a,0
	EXPORT	_pp	[r,4]
.stab sym G:pp:_pp:(typ20-pointers)
;    16 | static int five = 5;
_2:		FDB	$5
.stab sym S:five:_2:(typ11)
;    17 | int *p5 = &five;
_p5:		FDB	_2
	EXPORT	_p5	[r,2]
.stab sym G:p5:_p5:(typ18-pointers)
	SEGMENT	bss
_a:	RMB	$A
	EXPORT	_a	[r,10]
_pt:	RMB	$4
	EXPORT	_pt	[r,4]
_1:	RMB	$2


* Symbol table for SLD
.stab type  typ0 V (-1)
.stab type  typ1 L (4)
.stab type  typ2 l (4)
.stab type  typ3 C (1)
.stab type  typ4 c (1)
.stab type  typ5 S (2)
.stab type  typ6 s (2)
.stab type  typ7 g (4)
.stab type  typ8 G (4)
.stab type  typ9 h (4)
.stab type  typ10 R (2)
.stab type  typ11 I (2)
.stab type  typ12 i (2)
.stab type  typ13 E (2)
.stab type  typ14 F (0)
.stab type  typ15 P (2)
.stab type  typ16-pointers A (10)(typ11)
.stab type  typ17-pointers Z (4)S pt {\
x:(0):(typ11);\
y:(2):(typ11);\
}
.stab type  typ18-pointers a *(typ11)
.stab type  typ19-pointers * (typ14) 
.stab type  typ20-pointers A (4)*(typ11)
