; TCX09 - KVT Cross C compiler (V 4.0)
; optimization: -Op -Osp -Ordc -Ocm -Ora
* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
;     1 | #pragma DATA_SEG mydata
;     2 | int d1 = 1;
	SEGMENT	mydata
_d1:		FDB	$1
	EXPORT	_d1	[r,2]
;     3 | #pragma BSS_SEG x
;     4 | #pragma BSS zero
;     5 | int b1;
;     6 | #pragma CONST_SEG ro
;     7 | const int k1 = 2;
	SEGMENT	ro
_k1:		FDB	$2
	EXPORT	_k1	[a,2]
;     8 | #pragma data_seg default
;     9 | int d2 = 3;
	SEGMENT	data
_d2:		FDB	$3
	EXPORT	_d2	[r,2]
	SEGMENT	zero
_b1:	RMB	$2
	EXPORT	_b1	[r,2]
