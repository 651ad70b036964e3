; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: -Op -Osp -Ordc -Ocm -Ora; Debug option disabled code motion and register allocation

* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | static int unused;
.stab sym S:unused:_1:(typ11)
;     2 | static int used;
.stab sym S:used:_2:(typ11)
;     3 | int *pu = &used;
	SEGMENT	data
_pu:		FDB	_2
	EXPORT	_pu	[r,2]
.stab sym G:pu:_pu:(typ16-statics)
;     4 | static int g(void);
;     5 | int (*pg)(void) = g;
_pg:		FDB	_g
	EXPORT	_pg	[r,2]
.stab sym G:pg:_pg:(typ17-statics)
;     6 | static int h(void);
;     7 | static int later = 1;
_5:		FDB	$1
.stab sym S:later:_5:(typ11)
	SEGMENT	bss
_1:	RMB	$2
_2:	RMB	$2


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
.stab type  typ16-statics a *(typ11)
.stab type  typ17-statics * (typ14) 
