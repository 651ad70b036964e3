; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: -Op -Osp -Ordc -Ocm -Ora; Debug option disabled code motion and register allocation

* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | #pragma DATA_SEG mydata
;     2 | int d1 = 1;
	SEGMENT	mydata
_d1:		FDB	$1
	EXPORT	_d1	[r,2]
.stab sym G:d1:_d1:(typ11)
;     3 | #pragma BSS_SEG x
;     4 | #pragma BSS zero
;     5 | int b1;
.stab sym G:b1:_b1:(typ11)
;     6 | #pragma CONST_SEG ro
;     7 | const int k1 = 2;
	SEGMENT	ro
_k1:		FDB	$2
	EXPORT	_k1	[a,2]
.stab sym G:k1:_k1:(typ11)
;     8 | #pragma data_seg default
;     9 | int d2 = 3;
	SEGMENT	data
_d2:		FDB	$3
	EXPORT	_d2	[r,2]
.stab sym G:d2:_d2:(typ11)
	SEGMENT	zero
_b1:	RMB	$2
	EXPORT	_b1	[r,2]


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
