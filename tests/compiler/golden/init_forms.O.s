; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | int x = {5};
	SEGMENT	data
_x:		FDB	$5
	EXPORT	_x	[r,2]
;     2 | int a[] = {1, 2,};
_a:
	FDB	$1,$2
	EXPORT	_a	[r,4]
;     3 | char *names[] = {"one", "two", "one"};
_names:
	FDB	_1,_2,_1
	EXPORT	_names	[r,6]
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
;     5 | float fa[2] = {1.5, -0.5};
_fa:
	FQB	$3FC00000
	FQB	$BF000000
	EXPORT	_fa	[r,8]
;     6 | unsigned char raw[] = "\x01\x02";
_raw:
	FCB	$1,$2,$0
	EXPORT	_raw	[r,3]
;     7 | union u2 { int i; char c[3]; } uu = {0x102};
_uu:
	FDB	$102
	FCB	$0
	EXPORT	_uu	[r,3]
;     8 | long lv = 'a';
_lv:
	FQB	$61
	EXPORT	_lv	[r,4]
;     9 | char cc = 300;
_cc:	FCB	$2C
	EXPORT	_cc	[r,1]
;    10 | double dd = 1;
_dd:
	FQB	$3F800000
	EXPORT	_dd	[r,4]
;    11 | int wrap = 0x7FFF + 1;
_wrap:		FDB	$8000
	EXPORT	_wrap	[r,2]
;    12 | int folded = (3 + 4) * 2 - 100 / 7 % 3;
_folded:		FDB	$C
	EXPORT	_folded	[r,2]
;    13 | unsigned long shifted = 1UL << 31;
_shifted:
	FQB	$80000000
	EXPORT	_shifted	[r,4]
;    14 | int cond = sizeof(long) == 4 ? 10 : 20;
_cond:		FDB	$A
	EXPORT	_cond	[r,2]
;    15 | char *mid = "abcdef" + 2;
_mid:		FDB	_3+2
	EXPORT	_mid	[r,2]
	SEGMENT	rodata
_3:	FCS	"abcdef"
	FCB	0
_2:	FCS	"two"
	FCB	0
_1:	FCS	"one"
	FCB	0
