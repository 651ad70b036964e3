/* Assignment operators where object and right side differ in size,
   signedness and kind: char, unsigned char, int, unsigned, long,
   unsigned long and float objects against each other. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)((unsigned long)got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

int main(void)
{
    char c;
    unsigned char uc;
    int i;
    unsigned u;
    long l;
    unsigned long ul;
    float f;
    init_io();

    c = 100;
    c += 300L;                  /* 400 -> 0x90 = -112 */
    expect(c, -112, 1);
    c = -7;
    c /= 2L;                    /* -3 */
    expect(c, -3, 2);
    c = -7;
    c %= 2UL;                   /* 0xFFFFFFF9 % 2 = 1 */
    expect(c, 1, 3);
    c = 10;
    c *= 2.75;                  /* 27.5 -> 27 */
    expect(c, 27, 4);
    c = -10;
    c -= 0.5f;                  /* -10.5 -> -10 */
    expect(c, -10, 5);

    uc = 250;
    uc += 10L;                  /* 260 -> 4 */
    expect(uc, 4, 10);
    uc = 200;
    uc /= -1L;                  /* 200 / -1 = -200 -> 56 */
    expect(uc, 56, 11);
    uc = 200;
    uc /= 3.0f;                 /* 66.67 -> 66 */
    expect(uc, 66, 12);
    uc = 9;
    uc -= 10L;                  /* -1 -> 255 */
    expect(uc, 255, 13);
    uc = 0x81;
    uc >>= 1L;
    expect(uc, 0x40, 14);

    i = -30000;
    i -= 10000L;                /* -40000 -> 25536 */
    expect(i, 25536, 20);
    i = 1000;
    i *= 1000L;                 /* 1000000 = 0xF4240 -> 0x4240 */
    expect(i, 0x4240, 21);
    i = -1000;
    i /= 7.5;                   /* -133.3 -> -133 */
    expect(i, -133, 22);
    i = -5;
    i += 2.75f;                 /* -2.25 -> -2 */
    expect(i, -2, 23);
    i = 7;
    i <<= 10L;
    expect(i, 7168, 24);
    i = -1;
    i &= 0x10FF0L;              /* 0xFFFFFFFF & 0x10FF0 -> 0x0FF0 */
    expect(i, 0x0FF0, 25);

    u = 65535U;
    u += 1L;                    /* long 65536 -> 0 */
    expect(u, 0, 30);
    u = 65000U;
    u /= -5L;                   /* long: 65000 / -5 = -13000 -> 52536 */
    expect(u, 52536U, 31);
    u = 65000U;
    u %= -7L;                   /* 65000 % -7 = 5 */
    expect(u, 5, 32);
    u = 40000U;
    u *= 1.5f;                  /* 60000 */
    expect(u, 60000U, 33);
    u = 3;
    u -= 4UL;
    expect(u, 65535U, 34);

    l = 100000L;
    l += uc;                    /* uc = 0x40 */
    expect_l(l, 0x0001, 0x86E0, 40);
    l = -1;
    l += u;                     /* u = 65535: zero-extended */
    expect_l(l, 0, 0xFFFE, 41);
    l = 7;
    l -= c;                     /* c = -10 */
    expect_l(l, 0, 17, 42);
    l = 1000000L;
    l /= c;                     /* -100000 */
    expect_l(l, 0xFFFE, 0x7960, 43);
    l = 1000000L;
    l /= u;                     /* u = 65535 -> 15 */
    expect_l(l, 0, 15, 44);
    l = 3;
    l *= 2.5f;
    expect_l(l, 0, 7, 45);
    l = 1;
    l <<= c + 40;               /* 1 << 30 */
    expect_l(l, 0x4000, 0, 46);

    ul = 10;
    ul -= c;                    /* c = -10: 10 - 0xFFFFFFF6 = 20 */
    expect_l((long)ul, 0, 20, 50);
    ul = 0xFFFFFFFFUL;
    ul /= c;                    /* / 0xFFFFFFF6 = 1 */
    expect_l((long)ul, 0, 1, 51);
    ul = 100;
    ul *= uc;                   /* 6400 */
    expect_l((long)ul, 0, 6400, 52);
    ul = 0x80000000UL;
    ul >>= c + 41;              /* >> 31 */
    expect_l((long)ul, 0, 1, 53);
    ul = 5;
    ul += -1;                   /* int -1 widened first */
    expect_l((long)ul, 0, 4, 54);

    f = 0.5f;
    f += l >> 20;               /* l = 0x40000000 */
    expect(f == 1024.5f, 1, 60);
    f = 10;
    f /= uc;                    /* 10 / 64 */
    expect(f == 0.15625f, 1, 61);
    f = 2;
    f *= c;                     /* -20 */
    expect(f == -20.0f, 1, 62);
    f = 1;
    f -= ul;                    /* ul = 4 */
    expect(f == -3.0f, 1, 63);
    f = 0.5f;
    f += u;                     /* u = 65535 */
    expect_l((long)(f * 2), 0x0001, 0xFFFF, 65);
    return finish();
}
