; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
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
	LDD	2,S
	RTS
;     8 | static int s(void) { return 1; }
;	No registers allocated
	SEGMENT	text
_s:
	LDD	#1
	RTS
;     9 | int __interrupt irq(int x) { }
;    10 | int after = 1;
	SEGMENT	data
_after:		FDB	$1
	EXPORT	_after	[r,2]
