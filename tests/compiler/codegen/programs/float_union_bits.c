/* A float seen through a union with unsigned long, with int halves and with
   bytes: the word order is high first, and sign, exponent and fraction can
   be changed through the integer view. */
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

union view {
    float f;
    unsigned long u;
    unsigned w[2];
    unsigned char b[4];
};

float with_exponent(float v, int e)
{
    union view x;
    x.f = v;
    x.u = (x.u & 0x807FFFFF) | (unsigned long)(e + 127) << 23;
    return x.f;
}

int main(void)
{
    union view x;
    long l = 0x01020304;
    unsigned char *b = (unsigned char *)&l;
    init_io();
    x.f = -6.5;
    expect_l(x.u, 0xC0D0, 0, 1);
    expect(x.w[0], 0xC0D0, 2);
    expect(x.b[0], 0xC0, 3);
    expect(x.b[1], 0xD0, 4);
    x.u &= 0x7FFFFFFF;
    expect_f(x.f, 0x40D0, 0, 5);
    x.u ^= 0x80000000;
    expect(x.f == -6.5, 1, 6);
    expect((int)(x.u >> 23 & 0xFF), 129, 7);
    expect_f(with_exponent(1.5, 10), 0x44C0, 0, 8);   /* 1536 */
    expect_f(with_exponent(-1.75, -1), 0xBF60, 0, 9);
    x.u = 0x3F800001;
    expect(x.f > 1.0, 1, 10);
    x.b[3] = 0;
    expect(x.f == 1.0, 1, 11);
    expect(b[0], 1, 12);
    expect(b[3], 4, 13);
    b[0] = 0x80;
    expect(l < 0, 1, 14);
    expect_l(l, 0x8002, 0x0304, 15);
    return finish();
}
