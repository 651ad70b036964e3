/* 16.16 fixed-point arithmetic in long values: products and quotients
   through shifts, rounding, conversion from and to float, and the integer
   and fraction parts. */
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

typedef long fixed;

fixed fx_mul(fixed a, fixed b)
{
    /* split to keep the product inside 32 bits */
    long ah = a >> 16, bh = b >> 16;
    unsigned long al = a & 0xFFFF, bl = b & 0xFFFF;
    return (ah * bh << 16) + ah * bl + al * bh + (al * bl >> 16);
}

fixed fx_div(fixed a, int b) { return a / b; }
fixed from_float(float f) { return f * 65536.0; }
float to_float(fixed x) { return x / 65536.0; }

int main(void)
{
    fixed a = 3L << 16;          /* 3.0 */
    fixed half = 0x8000;         /* 0.5 */
    fixed x;
    init_io();
    expect_l(fx_mul(a, half), 0x0001, 0x8000, 1);          /* 1.5 */
    expect_l(fx_mul(a, a), 0x0009, 0, 2);
    expect_l(fx_mul(-a, half), 0xFFFE, 0x8000, 3);         /* -1.5 */
    expect_l(fx_mul(0x00018000, 0x00018000), 0x0002, 0x4000, 4);  /* 2.25 */
    expect_l(fx_div(a, 4), 0, 0xC000, 5);
    expect_l(from_float(2.75), 0x0002, 0xC000, 6);
    expect_l(from_float(-0.125), 0xFFFF, 0xE000, 7);
    expect_f(to_float(0x00028000), 0x4020, 0, 8);
    expect_f(to_float(-1), 0xB780, 0, 9);                   /* -2^-16 */
    x = from_float(10.5);
    expect((int)(x >> 16), 10, 10);
    expect((unsigned)x, 0x8000, 11);
    x = (x + 0x8000) & 0xFFFF0000;                            /* rounded */
    expect_l(x, 0x000B, 0, 12);
    return finish();
}
