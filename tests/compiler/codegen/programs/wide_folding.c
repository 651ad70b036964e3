/* The same long and float expressions folded by the compiler from
   constants and worked out at run time from variables: both must give the
   same bits, with or without the optimiser. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

int main(void)
{
    long a = -100000, b = 7;
    unsigned long u = 0xFFFFFFFF;
    float one = 1, three = 3, big = 1e38;
    int k = 33;
    init_io();
    expect_l(-100000L / 7, 0xFFFF, 0xC833, 1);
    expect_l(a / b, 0xFFFF, 0xC833, 2);
    expect_l(-100000L % 7, 0xFFFF, 0xFFFB, 3);
    expect_l(a % b, 0xFFFF, 0xFFFB, 4);
    expect_l(0xFFFFFFFF / 7, 0x2492, 0x4924, 5);
    expect_l(u / b, 0x2492, 0x4924, 6);
    expect_l(-100000L >> 3, 0xFFFF, 0xCF2C, 7);
    expect_l(a >> 3, 0xFFFF, 0xCF2C, 8);
    expect_l(0xFFFFFFFF >> 33, 0, 0, 9);
    expect_l(u >> k, 0, 0, 10);
    expect_l(-100000L >> 33, 0xFFFF, 0xFFFF, 11);
    expect_l(a >> k, 0xFFFF, 0xFFFF, 12);
    expect_l(100000L * 100000L, 0x540B, 0xE400, 13);
    expect_l(-a * -a, 0x540B, 0xE400, 14);
    expect_l(5L / 0L, 0xFFFF, 0xFFFF, 15);
    expect_l(5L % 0L, 0, 5, 16);
    expect_f(1.0 / 3.0, 0x3EAA, 0xAAAB, 20);
    expect_f(one / three, 0x3EAA, 0xAAAB, 21);
    expect_f(1e38 * 10, 0x7F80, 0, 22);
    expect_f(big * 10, 0x7F80, 0, 23);
    expect_f((float)-100000L, 0xC7C3, 0x5000, 24);
    expect_f((float)a, 0xC7C3, 0x5000, 25);
    expect_l((long)-2.75, 0xFFFF, 0xFFFE, 26);
    expect_l((long)(three - 5.75), 0xFFFF, 0xFFFE, 27);
    expect_l((unsigned long)4e9, 0xEE6B, 0x2800, 28);
    expect_l((unsigned long)(big / 2.5e28), 0xEE6B, 0x2700, 29);
    return finish();
}
