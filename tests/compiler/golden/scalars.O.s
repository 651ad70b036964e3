; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | int x;
;     2 | static int n = 5;
	SEGMENT	data
_1:		FDB	$5
;     3 | char c = 'A';
_c:	FCB	$41
	EXPORT	_c	[r,1]
;     4 | unsigned char uc = 255;
_uc:	FCB	$FF
	EXPORT	_uc	[r,1]
;     5 | int neg = -1;
_neg:		FDB	$FFFF
	EXPORT	_neg	[r,2]
;     6 | unsigned u = 0xFFFF;
_u:		FDB	$FFFF
	EXPORT	_u	[r,2]
;     7 | long l = 70000;
_l:
	FQB	$11170
	EXPORT	_l	[r,4]
;     8 | unsigned long ul = 0x80000000;
_ul:
	FQB	$80000000
	EXPORT	_ul	[r,4]
;     9 | long big = -2;
_big:
	FQB	$FFFFFFFE
	EXPORT	_big	[r,4]
;    10 | float f = 1.0;
_f:
	FQB	$3F800000
	EXPORT	_f	[r,4]
;    11 | double d = -2.5;
_d:
	FQB	$C0200000
	EXPORT	_d	[r,4]
;    12 | float fi = 3;
_fi:
	FQB	$40400000
	EXPORT	_fi	[r,4]
	SEGMENT	bss
_x:	RMB	$2
	EXPORT	_x	[r,2]
;    13 | static int s2;
_2:	RMB	$2
;    14 | int y;
_y:	RMB	$2
	EXPORT	_y	[r,2]
