; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
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
_g:		FDB	$5
	EXPORT	_g	[r,2]
_b:		FDB	$6
	EXPORT	_b	[r,2]
;     3 | enum { NEG = -3, NEXT };
;     4 | int k = NEXT;
_k:		FDB	$FFFE
	EXPORT	_k	[r,2]
;     5 | enum color cvar = BLUE;
_cvar:		FDB	$6
	EXPORT	_cvar	[r,2]
