/* Assignment operators mixing long and unsigned long operands: the usual
   arithmetic conversions make division, remainder and compares unsigned,
   whatever side the unsigned operand stands on, while shifts keep the
   type of the object. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)((unsigned long)got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

unsigned long four(void) { return 4; }

struct rec { char tag; long l; unsigned long u; };

int main(void)
{
    long l = -8;
    long *pl = &l;
    unsigned long ul;
    struct rec r;
    int i;
    init_io();

    l /= 4UL;                       /* 0xFFFFFFF8 / 4 */
    expect_l(l, 0x3FFF, 0xFFFE, 1);
    l = -8;
    l /= four();
    expect_l(l, 0x3FFF, 0xFFFE, 2);
    l = -7;
    l %= 4UL;                       /* 0xFFFFFFF9 % 4 = 1 */
    expect_l(l, 0, 1, 3);
    l = -7;
    l %= 4L;
    expect_l(l, 0xFFFF, 0xFFFD, 4);
    l = -8;
    l /= 4L;
    expect_l(l, 0xFFFF, 0xFFFE, 5);
    l = -100;
    *pl /= 3UL;                     /* 4294967196 / 3 = 1431655732 */
    expect_l(l, 0x5555, 0x5534, 6);
    l = -100;
    *pl %= 3UL;                     /* 4294967196 % 3 = 0 */
    expect_l(l, 0, 0, 7);
    l = -16;
    l >>= 2UL;                      /* shift stays signed */
    expect_l(l, 0xFFFF, 0xFFFC, 8);
    l = -16;
    l *= 3UL;
    expect_l(l, 0xFFFF, 0xFFD0, 9);

    ul = 0xFFFFFFF0UL;
    ul /= -2L;                      /* / 0xFFFFFFFE = 0 */
    expect_l((long)ul, 0, 0, 10);
    ul = 0xFFFFFFF0UL;
    ul %= -2L;                      /* % 0xFFFFFFFE */
    expect_l((long)ul, 0xFFFF, 0xFFF0, 11);
    ul = 0x80000000UL;
    ul >>= 4L;
    expect_l((long)ul, 0x0800, 0, 12);
    ul = 100;
    ul /= -1;                       /* int -1 becomes 0xFFFFFFFF */
    expect_l((long)ul, 0, 0, 13);

    r.tag = 'r';
    r.l = -9;
    r.u = 2;
    r.l /= r.u;                     /* 0xFFFFFFF7 / 2 = 0x7FFFFFFB */
    expect_l(r.l, 0x7FFF, 0xFFFB, 14);
    r.l = -9;
    r.l %= r.u;
    expect_l(r.l, 0, 1, 15);
    r.u = 10;
    r.u /= r.l = -5;
    expect_l((long)r.u, 0, 0, 16);
    expect(r.tag, 'r', 17);

    /* compares of mixed signedness are unsigned */
    l = -1;
    ul = 1;
    expect(l < ul, 0, 20);
    expect(l > ul, 1, 21);
    expect(l < 1UL, 0, 22);
    expect(-1L > 0UL, 1, 23);
    expect(l <= 0xFFFFFFFFUL, 1, 24);
    expect(l >= 0x80000000UL, 1, 25);
    i = 0;
    if (l < ul) i = 1;
    expect(i, 0, 26);
    expect((l += 1UL) == 0, 1, 27);
    expect((l -= 1UL) < 5UL, 0, 28);
    expect((l /= 2UL) > 0, 1, 29);
    expect_l(l, 0x7FFF, 0xFFFF, 30);

    /* int objects with long right sides */
    i = -8;
    i /= 4UL;                       /* (int)0x3FFFFFFE */
    expect(i, -2, 40);
    i = -8;
    i /= 4L;
    expect(i, -2, 41);
    i = -7;
    i %= 4UL;
    expect(i, 1, 42);
    i = 30000;
    i *= 4L;                        /* 120000 -> 0xD4C0 */
    expect(i, (int)0xD4C0, 43);
    return finish();
}
