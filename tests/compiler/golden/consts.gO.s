; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: -Op -Osp -Ordc -Ocm -Ora; Debug option disabled code motion and register allocation

* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | const char *s;
.stab sym G:s:_s:(typ10)
;     2 | char *const cp;
;     3 | const int ci = 5;
	SEGMENT	rodata
_ci:		FDB	$5
	EXPORT	_ci	[a,2]
.stab sym G:ci:_ci:(typ11)
;     4 | int useci = ci;
	SEGMENT	data
_useci:		FDB	$5
	EXPORT	_useci	[r,2]
.stab sym G:useci:_useci:(typ11)
;     5 | const int needs;
;     6 | extern const int ext;
;     7 | extern const int ext2 = 3;
	SEGMENT	rodata
_ext2:		FDB	$3
;     8 | const volatile int cv = 1;
_cv:		FDB	$1
	EXPORT	_cv	[a,2]
.stab sym G:cv:_cv:(typ11)
;     9 | volatile const int cv2;
;    10 | const float cf = 2.5;
_cf:
	FQB	$40200000
	EXPORT	_cf	[a,4]
.stab sym G:cf:_cf:(typ7)
;    11 | const char msg[] = "hi";
_msg:
	FCS	"hi"
	FCB	0
	EXPORT	_msg	[a,3]
.stab sym G:msg:_msg:(typ16-consts)
;    12 | const int arr[2] = {1, 2};
_arr:
	FDB	$1,$2
	EXPORT	_arr	[a,4]
.stab sym G:arr:_arr:(typ17-consts)
	SEGMENT	bss
_s:	RMB	$2
	EXPORT	_s	[r,2]


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
.stab type  typ16-consts A (3)(typ3)
.stab type  typ17-consts A (4)(typ11)
