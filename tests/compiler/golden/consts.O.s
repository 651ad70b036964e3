; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | const char *s;
;     2 | char *const cp;
;     3 | const int ci = 5;
	SEGMENT	rodata
_ci:		FDB	$5
	EXPORT	_ci	[a,2]
;     4 | int useci = ci;
	SEGMENT	data
_useci:		FDB	$5
	EXPORT	_useci	[r,2]
;     5 | const int needs;
;     6 | extern const int ext;
;     7 | extern const int ext2 = 3;
	SEGMENT	rodata
_ext2:		FDB	$3
;     8 | const volatile int cv = 1;
_cv:		FDB	$1
	EXPORT	_cv	[a,2]
;     9 | volatile const int cv2;
;    10 | const float cf = 2.5;
_cf:
	FQB	$40200000
	EXPORT	_cf	[a,4]
;    11 | const char msg[] = "hi";
_msg:
	FCS	"hi"
	FCB	0
	EXPORT	_msg	[a,3]
;    12 | const int arr[2] = {1, 2};
_arr:
	FDB	$1,$2
	EXPORT	_arr	[a,4]
	SEGMENT	bss
_s:	RMB	$2
	EXPORT	_s	[r,2]
