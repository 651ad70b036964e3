/* Pointers to long, unsigned long and float: steps of 4 bytes in every
   form of pointer arithmetic, differences, compares, and values read
   and changed through moving pointers. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)((unsigned long)got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

long v[8];
unsigned long uv[4] = {0xFFFFFFFFUL, 1UL, 0x80000000UL, 0x12345678UL};
float fv[3] = {1.5f, -2.0f, 1e10f};

long *last(long *p, int n) { return p + n - 1; }
long sum(long *from, long *to) { long s = 0; while (from < to) s += *from++; return s; }

int main(void)
{
    long *p = v;
    long *q;
    unsigned long *u = uv + 3;
    float *f = fv;
    int i;
    long k = 2;
    char back = -2;
    init_io();

    for (i = 0; i < 8; ++i) v[i] = (i + 1) * 100000L;
    expect((char *)(p + 1) - (char *)p, 4, 1);
    q = p + 5;
    expect(q - p, 5, 2);
    expect(p - q, -5, 3);
    expect_l(*q, 0x0009, 0x27C0, 4);             /* 600000 */
    expect_l(q[back], 0x0006, 0x1A80, 5);         /* v[3] = 400000 */
    expect_l(*(q - 2), 0x0006, 0x1A80, 6);
    expect_l(p[k], 0x0004, 0x93E0, 7);            /* v[2] = 300000 */
    expect_l(*(p + (int)k * 3), 0x000A, 0xAE60, 8); /* v[6] = 700000 */
    expect_l(*last(v, 8), 0x000C, 0x3500, 9);     /* 800000 */
    expect_l(sum(v, v + 4), 0x000F, 0x4240, 10);  /* 1000000 */
    expect(q > p, 1, 11);
    expect(q <= p + 4, 0, 12);

    *p++ += 5;                                     /* v[0] = 100005, p = v+1 */
    expect_l(v[0], 0x0001, 0x86A5, 13);
    expect(p - v, 1, 14);
    *--q -= 1;                                     /* v[4] = 499999 */
    expect_l(v[4], 0x0007, 0xA11F, 15);
    expect(q - v, 4, 16);
    q += 2;
    q -= 3;
    expect(q - v, 3, 17);
    expect_l((*q)++, 0x0006, 0x1A80, 18);
    expect_l(v[3], 0x0006, 0x1A81, 19);
    expect_l(++*q, 0x0006, 0x1A82, 20);
    p = &v[7];
    p[-7] = -1;
    expect_l(v[0], 0xFFFF, 0xFFFF, 21);

    expect_l((long)*u--, 0x1234, 0x5678, 22);
    expect_l((long)(*u-- >> 31), 0, 1, 23);
    expect(*u-- > 0xFFFFFFF0UL, 0, 24);
    expect(*u > 0xFFFFFFF0UL, 1, 25);
    expect(u == uv, 1, 26);
    u[3] /= u[1] + 1;                              /* 0x12345678 / 2 */
    expect_l((long)uv[3], 0x091A, 0x2B3C, 27);

    expect(f[1] < f[0], 1, 28);
    f += 2;
    expect(*f > 1e9f, 1, 29);
    expect(f - fv, 2, 30);
    *--f *= -0.25f;
    expect(fv[1] == 0.5f, 1, 31);
    return finish();
}
