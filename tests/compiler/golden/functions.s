; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: None
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
	SEGMENT	text
_g:
	RTS
;     8 | static int s(void) { return 1; }
	SEGMENT	text
_s:
	RTS
;     9 | int __interrupt irq(int x) { }
;    10 | int after = 1;
	SEGMENT	data
_after:		FDB	$1
	EXPORT	_after	[r,2]
