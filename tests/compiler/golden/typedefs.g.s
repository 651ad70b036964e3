; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: None
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
.stab sym G:v1:_v1:(typ16-typedefs)
;     3 | typedef struct { char c; long l; } Pair;
;     4 | Pair pr = {1, 2};
_pr:
	FCB	$1
	FQB	$2
	EXPORT	_pr	[r,5]
.stab sym G:pr:_pr:(typ17-typedefs)
;     5 | typedef char *String;
;     6 | String sv = "typed";
_sv:		FDB	_1
	EXPORT	_sv	[r,2]
.stab sym G:sv:_sv:(typ10)
;     7 | typedef unsigned short Word;
;     8 | Word wv = 0xABCD;
_wv:		FDB	$ABCD
	EXPORT	_wv	[r,2]
.stab sym G:wv:_wv:(typ6)
	SEGMENT	rodata
_1:	FCS	"typed"
	FCB	0


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
.stab type  typ16-typedefs A (4)(typ11)
.stab type  typ17-typedefs Z (5)S {\
c:(0):(typ3);\
l:(1):(typ1);\
}
