; TCX09 - KVT Cross C compiler (V 4.0)
; -g option (symbolic debug information) supplied
; optimization: None

* Compiler Default segment names
	SEGMENT	text
	SEGMENT	bss
	SEGMENT	data
	SEGMENT	rodata
	FILE	"main.c"
.stab init
.stab file main.c
	SEGMENT	bss
_x:	RMB	$2
	EXPORT	_x	[r,2]
	SEGMENT	data
_tab:	FCB	$1,$2,$3
	FDB	_x,$1234
	FQB	$3F800000
;	parameters:
;	No registers allocated
	SEGMENT	text
	EXPORT	_main	[r,2]
_main:
.stab fstart _main:3
.stab stmt 3,1
	LDD	_x
	ADDD	#1
	STD	_x
	JSR	add32
.stab stmt 4,2
	LEAS	-2,S
	LBRA	_2
_2:
.stab fexit 5,1
	RTS
.stab fend _main:5
	SEGMENT	rodata
_3:	FCS	"hello\n"
	FCB	0
.stab sym G:x:_x:(typ6)
.stab sym S:tab:_tab:(typ16)
.stab sym F:main:_main:(typ6)
.stab sym L:main:i:-2:(typ6)
.stab blk L,1,3
.stab blk R,1,5


* Symbol table for SLD
.stab type  typ2 l (4)
.stab type  typ6 s (2)
.stab type  typ16 Z (4)S pt {\
x:(0):(typ6);\
y:(2):(typ6);\
}
