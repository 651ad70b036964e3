/* Copies of longs, floats and structures through walking pointers in
   loops: one walk or two per copy, one copy or two per loop, forwards and
   backwards. A pointer kept in a register over the loop must be the one
   every line of the copy names, and each pointer ends where C says. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct pt { int x; char c; long w; };

static long la[4] = {1, 2, 3, 4}, lb[4], lc[4] = {-5, 60000L, 7, -80000L}, ld[4];
static float fa[3] = {1.5, -2.25, 3.0}, fb[3];
static struct pt pa[3] = {{1, 'a', 10}, {2, 'b', -20}, {3, 'c', 70000L}}, pb[3];

static int long_copy(int n)
{
    long *d = lb, *s = la;
    int j;
    for (j = 0; j < n; j++)
        *d++ = *s++;
    return (int)(d - lb) * 10 + (int)(s - la);
}

static int long_two_copies(void)
{
    long *d = lb, *s = la, *d2 = ld, *s2 = lc;
    int j;
    for (j = 0; j < 4; j++) {
        *d++ = *s++;
        *d2++ = *s2++;
    }
    return (int)(d - lb) + (int)(s - la) + (int)(d2 - ld) + (int)(s2 - lc);
}

static void long_fill(long *d, long v, int n)
{
    while (n--)
        *d++ = v;
}

static long long_sum_back(long *s, int n)
{
    long t = 0;
    while (n--)
        t = t * 10 + *s--;
    return t;
}

static void long_copy_back(long *d, long *s, int n)
{
    while (n--)
        *d-- = *s--;
}

static void long_copy_pre(long *d, long *s, int n)
{
    while (n--)
        *--d = *--s;
}

static int float_copy(void)
{
    float *d = fb, *s = fa;
    int j;
    for (j = 0; j < 3; j++)
        *d++ = *s++;
    return (int)(d - fb) * 10 + (int)(s - fa);
}

static int struct_copy(void)
{
    struct pt *d = pb, *s = pa;
    int j;
    for (j = 0; j < 3; j++)
        *d++ = *s++;
    return (int)(d - pb) * 10 + (int)(s - pa);
}

static long struct_sum(struct pt *p, int n)
{
    long t = 0;
    while (n--) {
        t += p->w;
        p++;
    }
    return t;
}

int main(void)
{
    init_io();
    expect(long_copy(4), 44, 1);
    expect(lb[0] == 1 && lb[1] == 2 && lb[2] == 3 && lb[3] == 4, 1, 2);
    expect(long_two_copies(), 16, 3);
    expect(ld[0] == -5 && ld[1] == 60000L && ld[2] == 7 && ld[3] == -80000L, 1, 4);
    long_fill(lb + 1, 70001L, 2);
    expect(lb[0] == 1 && lb[1] == 70001L && lb[2] == 70001L && lb[3] == 4, 1, 5);
    expect((int)long_sum_back(la + 3, 4), 4321, 6);
    long_copy_back(lb + 3, lc + 3, 4);
    expect(lb[0] == -5 && lb[1] == 60000L && lb[2] == 7 && lb[3] == -80000L, 1, 7);
    long_copy_pre(lb + 4, la + 4, 3);
    expect(lb[0] == -5 && lb[1] == 2 && lb[2] == 3 && lb[3] == 4, 1, 8);
    expect(float_copy(), 33, 9);
    expect(fb[0] == 1.5 && fb[1] == -2.25 && fb[2] == 3.0, 1, 10);
    expect(struct_copy(), 33, 11);
    expect(pb[1].x == 2 && pb[1].c == 'b' && pb[2].w == 70000L, 1, 12);
    expect(struct_sum(pb, 3) == 69990L, 1, 13);
    return finish();
}
