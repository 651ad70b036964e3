; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
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
;     2 | char exact[3] = "abc";
_exact:
	FCS	"abc"
	EXPORT	_exact	[r,3]
;     3 | char t[] = "hello, world.\n";
_t:
	FCS	"hello, world.\n"
	FCB	0
	EXPORT	_t	[r,15]
;     4 | char tab[] = "a\tb";
_tab:
	FCB	$61,$9,$62,$0
	EXPORT	_tab	[r,4]
;     5 | char empty[] = "";
_empty:
	FCB	$0
	EXPORT	_empty	[r,1]
;     6 | char *p = "shared";
_p:		FDB	_1
	EXPORT	_p	[r,2]
;     7 | char *q = "shared";
_q:		FDB	_1
	EXPORT	_q	[r,2]
;     8 | const char *r = "x-y_z%.";
_r:		FDB	_2
	EXPORT	_r	[r,2]
;     9 | char *e = "";
_e:		FDB	_3
	EXPORT	_e	[r,2]
	SEGMENT	rodata
_3: 	FCB	$0
_2:	FCS	"x-y_z%."
	FCB	0
_1:	FCS	"shared"
	FCB	0
