; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: None
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | int a[4] = {1, 2};
	SEGMENT	data
_a:
	FDB	$1,$2
	FCB	$0,$0,$0,$0
	EXPORT	_a	[r,8]
.stab sym G:a:_a:(typ16-arrays)
;     2 | char bytes[20] = {1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20};
_bytes:
	FCB	$1,$2,$3,$4,$5,$6,$7,$8,$9,$A,$B,$C
	FCB	$D,$E,$F,$10,$11,$12,$13,$14
	EXPORT	_bytes	[r,20]
.stab sym G:bytes:_bytes:(typ17-arrays)
;     3 | int words[10] = {1,2,3,4,5,6,7,8,9,10};
_words:
	FDB	$1,$2,$3,$4,$5,$6,$7,$8,$9
	FDB	$A
	EXPORT	_words	[r,20]
.stab sym G:words:_words:(typ18-arrays)
;     4 | int m[2][2] = {{1, 2}, {3, 4}};
_m:
	FDB	$1,$2,$3,$4
	EXPORT	_m	[r,8]
.stab sym G:m:_m:(typ20-arrays)
;     5 | long ls[] = {1, -1};
_ls:
	FQB	$1
	FQB	$FFFFFFFF
	EXPORT	_ls	[r,8]
.stab sym G:ls:_ls:(typ21-arrays)
;     6 | int un[] = {5, 6, 7};
_un:
	FDB	$5,$6,$7
	EXPORT	_un	[r,6]
.stab sym G:un:_un:(typ22-arrays)
;     7 | int z[3];
.stab sym G:z:_z:(typ22-arrays)
	SEGMENT	bss
_z:	RMB	$6
	EXPORT	_z	[r,6]


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
.stab type  typ16-arrays A (8)(typ11)
.stab type  typ17-arrays A (20)(typ3)
.stab type  typ18-arrays A (20)(typ11)
.stab type  typ19-arrays A (4)(typ11)
.stab type  typ20-arrays A (8)(typ19-arrays)(typ11)
.stab type  typ21-arrays A (8)(typ1)
.stab type  typ22-arrays A (6)(typ11)
