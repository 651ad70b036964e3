; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: -Op -Osp -Ordc -Ocm -Ora; Debug option disabled code motion and register allocation

* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | enum color { RED, GREEN = 5, BLUE };
;     2 | int r = RED, g = GREEN, b = BLUE;
	SEGMENT	data
_r:		FDB	$0
	EXPORT	_r	[r,2]
.stab sym G:r:_r:(typ11)
_g:		FDB	$5
	EXPORT	_g	[r,2]
.stab sym G:g:_g:(typ11)
_b:		FDB	$6
	EXPORT	_b	[r,2]
.stab sym G:b:_b:(typ11)
;     3 | enum { NEG = -3, NEXT };
;     4 | int k = NEXT;
_k:		FDB	$FFFE
	EXPORT	_k	[r,2]
.stab sym G:k:_k:(typ11)
;     5 | enum color cvar = BLUE;
_cvar:		FDB	$6
	EXPORT	_cvar	[r,2]
.stab sym G:cvar:_cvar:(typ11)


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
