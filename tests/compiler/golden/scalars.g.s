; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: None
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | int x;
.stab sym G:x:_x:(typ11)
;     2 | static int n = 5;
	SEGMENT	data
_1:		FDB	$5
.stab sym S:n:_1:(typ11)
;     3 | char c = 'A';
_c:	FCB	$41
	EXPORT	_c	[r,1]
.stab sym G:c:_c:(typ3)
;     4 | unsigned char uc = 255;
_uc:	FCB	$FF
	EXPORT	_uc	[r,1]
.stab sym G:uc:_uc:(typ4)
;     5 | int neg = -1;
_neg:		FDB	$FFFF
	EXPORT	_neg	[r,2]
.stab sym G:neg:_neg:(typ11)
;     6 | unsigned u = 0xFFFF;
_u:		FDB	$FFFF
	EXPORT	_u	[r,2]
.stab sym G:u:_u:(typ12)
;     7 | long l = 70000;
_l:
	FQB	$11170
	EXPORT	_l	[r,4]
.stab sym G:l:_l:(typ1)
;     8 | unsigned long ul = 0x80000000;
_ul:
	FQB	$80000000
	EXPORT	_ul	[r,4]
.stab sym G:ul:_ul:(typ2)
;     9 | long big = -2;
_big:
	FQB	$FFFFFFFE
	EXPORT	_big	[r,4]
.stab sym G:big:_big:(typ1)
;    10 | float f = 1.0;
_f:
	FQB	$3F800000
	EXPORT	_f	[r,4]
.stab sym G:f:_f:(typ7)
;    11 | double d = -2.5;
_d:
	FQB	$C0200000
	EXPORT	_d	[r,4]
.stab sym G:d:_d:(typ8)
;    12 | float fi = 3;
_fi:
	FQB	$40400000
	EXPORT	_fi	[r,4]
.stab sym G:fi:_fi:(typ7)
;    13 | static int s2;
.stab sym S:s2:_2:(typ11)
;    14 | int y;
.stab sym G:y:_y:(typ11)
	SEGMENT	bss
_x:	RMB	$2
	EXPORT	_x	[r,2]
_2:	RMB	$2
_y:	RMB	$2
	EXPORT	_y	[r,2]


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
