; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: None
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | char s[10] = "ab";
	SEGMENT	data
_s:
	FCS	"ab"
	FCB	0
	FCB	$0,$0,$0,$0,$0,$0,$0
	EXPORT	_s	[r,10]
.stab sym G:s:_s:(typ16-strings)
;     2 | char exact[3] = "abc";
_exact:
	FCS	"abc"
	EXPORT	_exact	[r,3]
.stab sym G:exact:_exact:(typ17-strings)
;     3 | char t[] = "hello, world.\n";
_t:
	FCS	"hello, world.\n"
	FCB	0
	EXPORT	_t	[r,15]
.stab sym G:t:_t:(typ18-strings)
;     4 | char tab[] = "a\tb";
_tab:
	FCB	$61,$9,$62,$0
	EXPORT	_tab	[r,4]
.stab sym G:tab:_tab:(typ19-strings)
;     5 | char empty[] = "";
_empty:
	FCB	$0
	EXPORT	_empty	[r,1]
.stab sym G:empty:_empty:(typ20-strings)
;     6 | char *p = "shared";
_p:		FDB	_1
	EXPORT	_p	[r,2]
.stab sym G:p:_p:(typ10)
;     7 | char *q = "shared";
_q:		FDB	_1
	EXPORT	_q	[r,2]
.stab sym G:q:_q:(typ10)
;     8 | const char *r = "x-y_z%.";
_r:		FDB	_2
	EXPORT	_r	[r,2]
.stab sym G:r:_r:(typ10)
;     9 | char *e = "";
_e:		FDB	_3
	EXPORT	_e	[r,2]
.stab sym G:e:_e:(typ10)
	SEGMENT	rodata
_3: 	FCB	$0
_2:	FCS	"x-y_z%."
	FCB	0
_1:	FCS	"shared"
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
.stab type  typ16-strings A (10)(typ3)
.stab type  typ17-strings A (3)(typ3)
.stab type  typ18-strings A (15)(typ3)
.stab type  typ19-strings A (4)(typ3)
.stab type  typ20-strings A (1)(typ3)
