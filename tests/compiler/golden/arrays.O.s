; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
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
;     2 | char bytes[20] = {1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20};
_bytes:
	FCB	$1,$2,$3,$4,$5,$6,$7,$8,$9,$A,$B,$C
	FCB	$D,$E,$F,$10,$11,$12,$13,$14
	EXPORT	_bytes	[r,20]
;     3 | int words[10] = {1,2,3,4,5,6,7,8,9,10};
_words:
	FDB	$1,$2,$3,$4,$5,$6,$7,$8,$9
	FDB	$A
	EXPORT	_words	[r,20]
;     4 | int m[2][2] = {{1, 2}, {3, 4}};
_m:
	FDB	$1,$2,$3,$4
	EXPORT	_m	[r,8]
;     5 | long ls[] = {1, -1};
_ls:
	FQB	$1
	FQB	$FFFFFFFF
	EXPORT	_ls	[r,8]
;     6 | int un[] = {5, 6, 7};
_un:
	FDB	$5,$6,$7
	EXPORT	_un	[r,6]
;     7 | int z[3];
	SEGMENT	bss
_z:	RMB	$6
	EXPORT	_z	[r,6]
