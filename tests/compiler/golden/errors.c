long *bad = 5 + 3.0;
char over[2] = "abc";
char c2[2] = {1, 2, 3};
struct { int a; } anon = {1, 2};
struct;
enum { X = 40000 };
enum;
int v = undefined_name;
register int r;
auto int au;
int arr[2.5];
int bitf : 3;
void nothing;
int neg[-(1)];
int w = 1 +;
;
}
