; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: -Op -Osp -Ordc -Ocm -Ora; Debug option disabled code motion and register allocation

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
.stab sym G:s1:_s1:(typ16-structs)
;     2 | struct s s2 = {2, 0x1234};
_s2:
	FCB	$2
	FDB	$1234
	EXPORT	_s2	[r,3]
.stab sym G:s2:_s2:(typ16-structs)
;     3 | union u { char c; long l; } u1 = {7};
_u1:
	FCB	$7,$0,$0,$0
	EXPORT	_u1	[r,4]
.stab sym G:u1:_u1:(typ17-structs)
;     4 | struct bits { unsigned a : 3; unsigned b : 5; int c; } bf;
.stab sym G:bf:_bf:(typ18-structs)
;     5 | struct mixed { char c; struct s in; int arr[2]; } mx = {1, {2, 3}, {4, 5}};
_mx:
	FCB	$1,$2
	FDB	$3,$4,$5
	EXPORT	_mx	[r,8]
.stab sym G:mx:_mx:(typ21-structs)
;     6 | struct fwd;
;     7 | struct fwd *fp;
.stab sym G:fp:_fp:(typ24-structs)
;     8 | struct fwd { int v; } fv = {9};
_fv:
	FDB	$9
	EXPORT	_fv	[r,2]
.stab sym G:fv:_fv:(typ23-structs)
	SEGMENT	bss
_bf:	RMB	$4
	EXPORT	_bf	[r,4]
_fp:	RMB	$2
	EXPORT	_fp	[r,2]


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
.stab type  typ16-structs Z (3)S s {\
c:(0):(typ3);\
i:(1):(typ11);\
}
.stab type  typ17-structs Z (4)U u {\
c:(0):(typ3);\
l:(0):(typ1);\
}
.stab type  typ18-structs Z (4)S bits {\
a:(2,0:3):(typ19-structs);\
b:(2,3:5):(typ20-structs);\
c:(2):(typ11);\
}
.stab type  typ19-structs B (2,3:0)
.stab type  typ20-structs B (2,5:3)
.stab type  typ21-structs Z (8)S mixed {\
c:(0):(typ3);\
in:(1):(typ16-structs);\
arr:(4):(typ22-structs);\
}
.stab type  typ22-structs A (4)(typ11)
.stab type  typ23-structs Z (2)S fwd {\
v:(0):(typ11);\
}
.stab type  typ24-structs a *(typ23-structs)
