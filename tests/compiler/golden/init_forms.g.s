; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: None
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | int x = {5};
	SEGMENT	data
_x:		FDB	$5
	EXPORT	_x	[r,2]
.stab sym G:x:_x:(typ11)
;     2 | int a[] = {1, 2,};
_a:
	FDB	$1,$2
	EXPORT	_a	[r,4]
.stab sym G:a:_a:(typ16-init_forms)
;     3 | char *names[] = {"one", "two", "one"};
_names:
	FDB	_1,_2,_1
	EXPORT	_names	[r,6]
.stab sym G:names:_names:(typ17-init_forms)
;     4 | struct p { char name[4]; int v; } ps[2] = {{"ab", 1}, {"cd", 2}};
_ps:
	FCS	"ab"
	FCB	0
	FCB	$0
	FDB	$1
	FCS	"cd"
	FCB	0
	FCB	$0
	FDB	$2
	EXPORT	_ps	[r,12]
.stab sym G:ps:_ps:(typ20-init_forms)
;     5 | float fa[2] = {1.5, -0.5};
_fa:
	FQB	$3FC00000
	FQB	$BF000000
	EXPORT	_fa	[r,8]
.stab sym G:fa:_fa:(typ21-init_forms)
;     6 | unsigned char raw[] = "\x01\x02";
_raw:
	FCB	$1,$2,$0
	EXPORT	_raw	[r,3]
.stab sym G:raw:_raw:(typ22-init_forms)
;     7 | union u2 { int i; char c[3]; } uu = {0x102};
_uu:
	FDB	$102
	FCB	$0
	EXPORT	_uu	[r,3]
.stab sym G:uu:_uu:(typ23-init_forms)
;     8 | long lv = 'a';
_lv:
	FQB	$61
	EXPORT	_lv	[r,4]
.stab sym G:lv:_lv:(typ1)
;     9 | char cc = 300;
_cc:	FCB	$2C
	EXPORT	_cc	[r,1]
.stab sym G:cc:_cc:(typ3)
;    10 | double dd = 1;
_dd:
	FQB	$3F800000
	EXPORT	_dd	[r,4]
.stab sym G:dd:_dd:(typ8)
;    11 | int wrap = 0x7FFF + 1;
_wrap:		FDB	$8000
	EXPORT	_wrap	[r,2]
.stab sym G:wrap:_wrap:(typ11)
;    12 | int folded = (3 + 4) * 2 - 100 / 7 % 3;
_folded:		FDB	$C
	EXPORT	_folded	[r,2]
.stab sym G:folded:_folded:(typ11)
;    13 | unsigned long shifted = 1UL << 31;
_shifted:
	FQB	$80000000
	EXPORT	_shifted	[r,4]
.stab sym G:shifted:_shifted:(typ2)
;    14 | int cond = sizeof(long) == 4 ? 10 : 20;
_cond:		FDB	$A
	EXPORT	_cond	[r,2]
.stab sym G:cond:_cond:(typ11)
;    15 | char *mid = "abcdef" + 2;
_mid:		FDB	_3+2
	EXPORT	_mid	[r,2]
.stab sym G:mid:_mid:(typ10)
	SEGMENT	rodata
_3:	FCS	"abcdef"
	FCB	0
_2:	FCS	"two"
	FCB	0
_1:	FCS	"one"
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
.stab type  typ16-init_forms A (4)(typ11)
.stab type  typ17-init_forms A (6)*(typ3)
.stab type  typ18-init_forms Z (6)S p {\
name:(0):(typ19-init_forms);\
v:(4):(typ11);\
}
.stab type  typ19-init_forms A (4)(typ3)
.stab type  typ20-init_forms A (12)(typ18-init_forms)
.stab type  typ21-init_forms A (8)(typ7)
.stab type  typ22-init_forms A (3)(typ4)
.stab type  typ23-init_forms Z (3)U u2 {\
i:(0):(typ11);\
c:(0):(typ24-init_forms);\
}
.stab type  typ24-init_forms A (3)(typ3)
