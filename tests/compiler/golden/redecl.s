; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: None
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | extern int b;
;     2 | int b;
	SEGMENT	bss
_b:	RMB	$2
	EXPORT	_b	[r,2]
;     3 | extern int hdr;
;     4 | int hdr = 3;
	SEGMENT	data
_hdr:		FDB	$3
	EXPORT	_hdr	[r,2]
;     5 | int a;
	SEGMENT	bss
_a:	RMB	$2
	EXPORT	_a	[r,2]
;     6 | int a;
;     7 | static int st;
_1:	RMB	$2
;     8 | int st;
;     9 | int g2;
_g2:	RMB	$2
	EXPORT	_g2	[r,2]
