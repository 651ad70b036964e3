; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | static int unused;
;     2 | static int used;
;     3 | int *pu = &used;
	SEGMENT	data
_pu:		FDB	_2
	EXPORT	_pu	[r,2]
;     4 | static int g(void);
;     5 | int (*pg)(void) = g;
_pg:		FDB	_g
	EXPORT	_pg	[r,2]
;     6 | static int h(void);
;     7 | static int later = 1;
_5:		FDB	$1
	SEGMENT	bss
_1:	RMB	$2
_2:	RMB	$2
