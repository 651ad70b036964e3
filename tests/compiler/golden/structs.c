struct s { char c; int i; } s1 = {1};
struct s s2 = {2, 0x1234};
union u { char c; long l; } u1 = {7};
struct bits { unsigned a : 3; unsigned b : 5; int c; } bf;
struct mixed { char c; struct s in; int arr[2]; } mx = {1, {2, 3}, {4, 5}};
struct fwd;
struct fwd *fp;
struct fwd { int v; } fv = {9};
