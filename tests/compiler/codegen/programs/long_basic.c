/* 32-bit loads, stores, addition, subtraction, logic, compares and
   conversions between integer sizes, checked word by word in memory. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

long gl = 0x12345678;
unsigned long gu;
long gl2;
long table[3] = {1, -1, 0x7FFFFFFF};

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

long add_l(long a, long b) { return a + b; }
unsigned long widen_u(unsigned v) { return v; }
long widen_s(int v) { return v; }

int main(void)
{
    long a = 100000, b = -3;
    unsigned long u = 0xFFFFFFFF;
    long *p = &table[1];
    int i = -2;
    unsigned ui = 0xFFFE;
    char c = -1;
    unsigned char uc = 0xFF;
    init_io();
    expect_l(gl, 0x1234, 0x5678, 1);
    expect_l(a + b, 0x0001, 0x869D, 2);
    expect_l(b - a, 0xFFFE, 0x795D, 3);
    expect_l(u + 1, 0, 0, 4);
    expect_l(add_l(0xFFFFL, 1), 1, 0, 5);
    expect_l(gl & 0xFF00FF00, 0x1200, 0x5600, 6);
    expect_l(gl | 0x0F, 0x1234, 0x567F, 7);
    expect_l(gl ^ 0xFFFFFFFF, 0xEDCB, 0xA987, 8);
    expect_l(-a, 0xFFFE, 0x7960, 9);
    expect_l(~gl, 0xEDCB, 0xA987, 10);
    expect_l(*p, 0xFFFF, 0xFFFF, 11);
    p[1] = p[-1] + 5;
    expect_l(table[2], 0, 6, 12);
    /* widening follows the source's signedness */
    expect_l(i, 0xFFFF, 0xFFFE, 13);
    gl2 = ui;
    expect_l(gl2, 0, 0xFFFE, 14);
    expect_l(c, 0xFFFF, 0xFFFF, 15);
    expect_l(uc, 0, 0xFF, 16);
    gu = i;
    expect_l(gu, 0xFFFF, 0xFFFE, 17);
    gu = ui;
    expect_l(gu, 0, 0xFFFE, 18);
    expect_l(widen_u(40000u), 0, 0x9C40, 19);
    expect_l(widen_s(-40), 0xFFFF, 0xFFD8, 20);
    /* narrowing keeps the low bits */
    i = gl;
    expect(i, 0x5678, 21);
    c = gl;
    expect(c, 0x78, 22);
    /* compares: signed, unsigned, equality against constants */
    expect(a > b, 1, 30);
    expect(a < b, 0, 31);
    expect(u > 1, 1, 32);
    expect((unsigned long)b > 1000, 1, 33);
    expect(b < 0, 1, 34);
    expect(gl == 0x12345678, 1, 35);
    expect(gl == 0x12340000 + 0x5679, 0, 36);
    expect(gl != 0x5678, 1, 37);
    expect(a >= 100000, 1, 38);
    expect(a <= 99999, 0, 39);
    expect(0x10000 > 0xFFFF, 1, 40);
    a = 0x10000;
    expect(a > 0xFFFF, 1, 41);
    expect(a != 0, 1, 42);
    a = 0;
    expect(!a, 1, 43);
    if (gl)
        expect(1, 1, 44);
    else
        expect(0, 1, 44);
    a = 0x10000;
    expect(a ? 1 : 2, 1, 45);
    expect(a && gl, 1, 46);
    expect_l(a > b ? a : b, 1, 0, 47);
    return finish();
}
