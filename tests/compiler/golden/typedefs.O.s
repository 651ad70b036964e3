; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | typedef int V[];
;     2 | V v1 = {1, 2};
	SEGMENT	data
_v1:
	FDB	$1,$2
	EXPORT	_v1	[r,4]
;     3 | typedef struct { char c; long l; } Pair;
;     4 | Pair pr = {1, 2};
_pr:
	FCB	$1
	FQB	$2
	EXPORT	_pr	[r,5]
;     5 | typedef char *String;
;     6 | String sv = "typed";
_sv:		FDB	_1
	EXPORT	_sv	[r,2]
;     7 | typedef unsigned short Word;
;     8 | Word wv = 0xABCD;
_wv:		FDB	$ABCD
	EXPORT	_wv	[r,2]
	SEGMENT	rodata
_1:	FCS	"typed"
	FCB	0
