; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: None
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | long *bad = 5 + 3.0;
	SEGMENT	data
	EXPORT	_bad	[r,2]
.stab sym G:bad:_bad:(typ16-errors)
;     2 | char over[2] = "abc";
_over:
	EXPORT	_over	[r,2]
.stab sym G:over:_over:(typ17-errors)
;     3 | char c2[2] = {1, 2, 3};
_c2:
	FCB	$1,$2
	EXPORT	_c2	[r,2]
.stab sym G:c2:_c2:(typ17-errors)
;     4 | struct { int a; } anon = {1, 2};
_anon:
	FDB	$1
	EXPORT	_anon	[r,2]
.stab sym G:anon:_anon:(typ18-errors)
;     5 | struct;
;     6 | enum { X = 40000 };
;     7 | enum;
;     8 | int v = undefined_name;
_v:		FDB	$0
	EXPORT	_v	[r,2]
.stab sym G:v:_v:(typ11)
;     9 | register int r;
.stab sym G:r:_r:(typ11)
;    10 | auto int au;
.stab sym G:au:_au:(typ11)
;    11 | int arr[2.5];
.stab sym G:arr:_arr:(typ19-errors)
;    12 | int bitf : 3;
.stab sym G:bitf:_bitf:(typ11)
;    13 | void nothing;
.stab sym G:nothing:_nothing:(typ0)
;    14 | int neg[-(1)];
.stab sym G:neg:_neg:(typ20-errors)
;    15 | int w = 1 +;
_w:		FDB	$0
	EXPORT	_w	[r,2]
.stab sym G:w:_w:(typ11)
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
.stab type  typ16-errors a *(typ1)
.stab type  typ17-errors A (2)(typ3)
.stab type  typ18-errors Z (2)S {\
a:(0):(typ11);\
}
.stab type  typ19-errors A (2)(typ11)
.stab type  typ20-errors A (-1)(typ11)
