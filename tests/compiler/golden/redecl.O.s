; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | extern int b;
;     2 | int b;
;     3 | extern int hdr;
;     4 | int hdr = 3;
	SEGMENT	data
_hdr:		FDB	$3
	EXPORT	_hdr	[r,2]
	SEGMENT	bss
_b:	RMB	$2
	EXPORT	_b	[r,2]
;     5 | int a;
;     6 | int a;
_a:	RMB	$2
	EXPORT	_a	[r,2]
;     7 | static int st;
;     8 | int st;
_1:	RMB	$2
;     9 | int g2;
;    10 | static int g2;
_g2:	RMB	$2
	EXPORT	_g2	[r,2]
