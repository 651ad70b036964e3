typedef int V[];
V v1 = {1, 2};
typedef struct { char c; long l; } Pair;
Pair pr = {1, 2};
typedef char *String;
String sv = "typed";
typedef unsigned short Word;
Word wv = 0xABCD;
