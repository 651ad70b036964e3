; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: -Op -Osp -Ordc -Ocm -Ora; Debug option disabled code motion and register allocation

* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | int f(int a, ...);
;     2 | int g(a, b)
;     3 | int a;
;     4 | long b;
;     5 | {
;     6 |     return a;
;     7 | }
;	parameters:
;		'a' at 2,S (Value: 2,S)
;		'b' at 4,S (Value: 4,S)
;	No registers allocated
	SEGMENT	text
	EXPORT	_g	[r,0]
_g:
.stab fstart _g:2
.stab stmt 2,4
.stab sym F:g:_g:(typ11)(typ11)(typ1)
.stab sym L:g:a:2:(typ11)
.stab sym L:g:b:4:(typ1)
	NOP
.stab stmt 6,4
	LDD	2,S
.stab stmt 7,1
.stab fexit 7,1
	RTS
.stab fend _g:7
;     8 | static int s(void) { return 1; }
;	No registers allocated
	SEGMENT	text
_s:
.stab fstart _s:8
.stab stmt 8,11
.stab sym F:s:_s:(typ11)
	NOP
.stab stmt 8,21
	LDD	#1
.stab stmt 8,32
.stab fexit 8,32
	RTS
.stab fend _s:8
;     9 | int __interrupt irq(int x) { }
;    10 | int after = 1;
	SEGMENT	data
_after:		FDB	$1
	EXPORT	_after	[r,2]
.stab sym G:after:_after:(typ11)


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
