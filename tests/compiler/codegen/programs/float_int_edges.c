/* Conversions between float (and double) and every integer size at the
   edges of each range: exact limits, rounding of wide integers, truncation
   toward zero, and saturation of values out of range. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

float from_uc(unsigned char v) { return v; }
float from_sc(signed char v) { return v; }
float from_ul(unsigned long v) { return v; }
double from_l(long v) { return v; }
long to_l(double v) { return v; }
unsigned long to_ul(float v) { return v; }

int main(void)
{
    float f;
    double d;
    int i;
    unsigned u;
    char c;
    unsigned char uc;
    long l;
    init_io();
    /* integers to float */
    expect_f(from_uc(255), 0x437F, 0, 1);
    expect_f(from_sc(-128), 0xC300, 0, 2);
    expect_f(from_l(-1), 0xBF80, 0, 3);
    expect_f(from_ul(0xFFFFFFFF), 0x4F80, 0, 4);
    expect_f(from_l(16777217), 0x4B80, 0x0000, 5);
    expect_f(from_l(16777219), 0x4B80, 0x0002, 6);
    expect_f(from_l(123456789), 0x4CEB, 0x79A3, 7);
    expect_f(from_l(-123456789), 0xCCEB, 0x79A3, 8);
    expect_f(from_l(0x80000000), 0xCF00, 0, 9);
    expect_f(from_ul(0x80000000), 0x4F00, 0, 10);
    i = 32767;
    f = i;
    expect_f(f, 0x46FF, 0xFE00, 11);
    i = -32768;
    f = i;
    expect_f(f, 0xC700, 0, 12);
    u = 65535;
    f = u;
    expect_f(f, 0x477F, 0xFF00, 13);
    c = -1;
    f = c;
    expect_f(f, 0xBF80, 0, 14);
    /* float to integers: truncation toward zero */
    f = 32767.0;
    i = f;
    expect(i, 32767, 20);
    f = -32768.0;
    i = f;
    expect(i, -32767 - 1, 21);
    f = 65535.0;
    u = f;
    expect(u, 0xFFFF, 22);
    f = 200.7;
    uc = f;
    expect(uc, 200, 23);
    f = -100.9;
    c = f;
    expect(c, -100, 24);
    f = 0.999;
    expect((int)f, 0, 25);
    expect((int)-f, 0, 26);
    expect_l(to_l(123456789.0), 0x075B, 0xCD18, 27);
    expect_l(to_l(-1e9), 0xC465, 0x3600, 28);
    expect_l(to_l(-2147483648.0), 0x8000, 0, 29);
    expect_l(to_ul(3e9), 0xB2D0, 0x5E00, 30);
    expect_l(to_ul(0.75), 0, 0, 31);
    /* out of range saturates; a negative value to unsigned long is 0 */
    expect_l(to_l(3e10), 0x7FFF, 0xFFFF, 40);
    expect_l(to_l(-3e10), 0x8000, 0x0000, 41);
    expect_l(to_ul(-5.0), 0, 0, 42);
    expect_l(to_ul(5e9), 0xFFFF, 0xFFFF, 43);
    /* double is the same single format */
    d = 0.1;
    f = d;
    expect_f(f, 0x3DCC, 0xCCCD, 50);
    expect(sizeof d, 4, 51);
    expect(sizeof(long double), 4, 52);
    d = f * 2;
    l = d * 10;
    expect_l(l, 0, 2, 53);
    d = 40000;
    expect_f(d, 0x471C, 0x4000, 54);
    return finish();
}
