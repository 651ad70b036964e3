struct pt { int x, y; char tag; unsigned f : 3; };
struct pt origin;
int a[10], i, *p, *q;
long *lp;
unsigned u;
char c;
double d;
int add(int l, int r);
int __pascal padd(int l, int r);
struct pt make(void);
int (*fn)(int, int);

void expressions(void)
{
    a[i] = i[a];
    p = p + 1;
    i = q - p;
    i = p[3];
    origin.y = make().y;
    origin.x = (&origin)->x;
    lp++;
    d++;
    --c;
    u = -5u;
    i = add(1, 2) + padd(1, 2);
    i = (*fn)(i, 3);
    i = fn(i, 3);
    i = c ? i : u;
    i = sizeof a + sizeof "abc" + sizeof p;
    origin.f = 5;
    i = !i && ~i || -i;
    i += 2, u -= 1;
    p += 3;
    i = (char)65;
    q = &a[2];
    q = i ? p : 0;
    i ? expressions() : (void)0;
}
