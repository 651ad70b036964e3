; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | long *bad = 5 + 3.0;
	SEGMENT	data
	EXPORT	_bad	[r,2]
;     2 | char over[2] = "abc";
_over:
	EXPORT	_over	[r,2]
;     3 | char c2[2] = {1, 2, 3};
_c2:
	FCB	$1,$2
	EXPORT	_c2	[r,2]
;     4 | struct { int a; } anon = {1, 2};
_anon:
	FDB	$1
	EXPORT	_anon	[r,2]
;     5 | struct;
;     6 | enum { X = 40000 };
;     7 | enum;
;     8 | int v = undefined_name;
_v:		FDB	$0
	EXPORT	_v	[r,2]
;     9 | register int r;
;    10 | auto int au;
;    11 | int arr[2.5];
;    12 | int bitf : 3;
;    13 | void nothing;
;    14 | int neg[-(1)];
;    15 | int w = 1 +;
_w:		FDB	$0
	EXPORT	_w	[r,2]
	SEGMENT	bss
_r:	RMB	$2
	EXPORT	_r	[r,2]
_au:	RMB	$2
	EXPORT	_au	[r,2]
_arr:	RMB	$2
	EXPORT	_arr	[r,2]
_bitf:	RMB	$2
	EXPORT	_bitf	[r,2]
_nothing:
	EXPORT	_nothing	[r,-1]
_neg:
	EXPORT	_neg	[r,-1]
