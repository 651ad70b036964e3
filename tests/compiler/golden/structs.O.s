; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | struct s { char c; int i; } s1 = {1};
	SEGMENT	data
_s1:
	FCB	$1,$0,$0
	EXPORT	_s1	[r,3]
;     2 | struct s s2 = {2, 0x1234};
_s2:
	FCB	$2
	FDB	$1234
	EXPORT	_s2	[r,3]
;     3 | union u { char c; long l; } u1 = {7};
_u1:
	FCB	$7,$0,$0,$0
	EXPORT	_u1	[r,4]
;     4 | struct bits { unsigned a : 3; unsigned b : 5; int c; } bf;
;     5 | struct mixed { char c; struct s in; int arr[2]; } mx = {1, {2, 3}, {4, 5}};
_mx:
	FCB	$1,$2
	FDB	$3,$4,$5
	EXPORT	_mx	[r,8]
;     6 | struct fwd;
;     7 | struct fwd *fp;
;     8 | struct fwd { int v; } fv = {9};
_fv:
	FDB	$9
	EXPORT	_fv	[r,2]
	SEGMENT	bss
_bf:	RMB	$4
	EXPORT	_bf	[r,4]
_fp:	RMB	$2
	EXPORT	_fp	[r,2]
