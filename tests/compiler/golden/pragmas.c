#pragma DATA_SEG mydata
int d1 = 1;
#pragma BSS_SEG x
#pragma BSS zero
int b1;
#pragma CONST_SEG ro
const int k1 = 2;
#pragma data_seg default
int d2 = 3;
