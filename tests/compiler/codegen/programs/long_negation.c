/* Negation, absolute values and complements of long and unsigned long
   values at the edges of the range, and unary minus on unsigned values. */
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

long labs_(long v) { return v < 0 ? -v : v; }

int main(void)
{
    long min = -2147483647 - 1;
    long max = 2147483647;
    unsigned long u = 1;
    long x = 0x00010000;
    init_io();
    expect_l(-max, 0x8000, 0x0001, 1);
    expect_l(-(max - 1), 0x8000, 0x0002, 2);
    expect_l(~min, 0x7FFF, 0xFFFF, 3);
    expect_l(-u, 0xFFFF, 0xFFFF, 4);
    expect(-u > 0, 1, 5);
    expect_l(-x, 0xFFFF, 0x0000, 6);
    expect_l(-(-x), 0x0001, 0x0000, 7);
    expect_l(labs_(-70000), 0x0001, 0x1170, 8);
    expect_l(labs_(70000), 0x0001, 0x1170, 9);
    expect_l(labs_(-1), 0, 1, 10);
    expect_l(-(long)0xFFFF, 0xFFFF, 0x0001, 11);
    expect_l(-(unsigned long)0xFFFF, 0xFFFF, 0x0001, 12);
    expect_l(-0x8000L, 0xFFFF, 0x8000, 13);
    x = -x;
    x = -x - 1;
    expect_l(x, 0, 0xFFFF, 14);
    expect_l(~x + 1, 0xFFFF, 0x0001, 15);
    expect(!~(x | 0xFFFF0000), 1, 16);
    return finish();
}
