; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: None
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | int x;
	SEGMENT	bss
_x:	RMB	$2
	EXPORT	_x	[r,2]
