; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: -Op -Osp -Ordc -Ocm -Ora; Debug option disabled code motion and register allocation

* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | extern int b;
;     2 | int b;
.stab sym G:b:_b:(typ11)
;     3 | extern int hdr;
;     4 | int hdr = 3;
	SEGMENT	data
_hdr:		FDB	$3
	EXPORT	_hdr	[r,2]
.stab sym G:hdr:_hdr:(typ11)
;     5 | int a;
.stab sym G:a:_a:(typ11)
;     6 | int a;
;     7 | static int st;
.stab sym S:st:_1:(typ11)
;     8 | int st;
;     9 | int g2;
.stab sym G:g2:_g2:(typ11)
	SEGMENT	bss
_b:	RMB	$2
	EXPORT	_b	[r,2]
_a:	RMB	$2
	EXPORT	_a	[r,2]
_1:	RMB	$2
;    10 | static int g2;
_g2:	RMB	$2
	EXPORT	_g2	[r,2]


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
