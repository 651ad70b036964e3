/* Single-precision results rounded to nearest even, overflow to infinity,
   NaN from invalid operations, underflow flushed to zero, signed zeros. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

float add(float a, float b) { return a + b; }
float mul(float a, float b) { return a * b; }
float dvd(float a, float b) { return a / b; }

int main(void)
{
    float big = 16777216.0;
    float huge = 1e38;
    float tiny = 1e-20;
    float inf, nan, z;
    init_io();
    /* ties go to the even neighbour */
    expect_f(big + 1, 0x4B80, 0x0000, 1);
    expect_f(big + 3, 0x4B80, 0x0002, 2);
    expect_f(add(1.0, 5.9604645e-8), 0x3F80, 0x0000, 3);     /* 1 + 2^-24 */
    expect_f(add(1.0, 1.78813934e-7), 0x3F80, 0x0002, 4);    /* 1 + 3*2^-24 */
    expect_f(add(0.1, 0.2), 0x3E99, 0x999A, 5);
    expect_f(dvd(3.0, 7.0), 0x3EDB, 0x6DB7, 6);
    expect_f(mul(dvd(3.0, 7.0), 7.0), 0x4040, 0x0000, 7);
    expect_f(mul(65535.0, 65537.0), 0x4F80, 0x0000, 8);
    expect_f(dvd(-7.0, 2.0), 0xC060, 0x0000, 9);
    expect_f(1.0e10, 0x5015, 0x02F9, 10);
    /* overflow and infinities */
    inf = huge * 10;
    expect_f(inf, 0x7F80, 0x0000, 20);
    expect_f(mul(huge, -10.0), 0xFF80, 0x0000, 21);
    expect_f(dvd(1.0, 0.0), 0x7F80, 0x0000, 22);
    expect_f(dvd(-1.0, 0.0), 0xFF80, 0x0000, 23);
    expect_f(inf + 1, 0x7F80, 0x0000, 24);
    expect_f(-inf, 0xFF80, 0x0000, 25);
    expect(inf > huge, 1, 26);
    expect(-inf < -huge, 1, 27);
    expect_f(dvd(1.0, inf), 0, 0, 28);
    /* invalid operations give a NaN, which propagates */
    nan = inf - inf;
    expect(nan != nan, 1, 30);
    nan = mul(0.0, inf);
    expect(nan == nan, 0, 31);
    nan = dvd(0.0, 0.0);
    expect(nan != nan, 1, 32);
    z = nan + 1;
    expect(z == z, 0, 33);
    expect(z < 0 || z >= 0, 0, 34);
    /* underflow flushes to zero */
    z = tiny * tiny;
    expect(z == 0, 1, 40);
    expect_f(dvd(1.17549435e-38, 4.0), 0 , 0, 41);
    /* signed zeros */
    z = 0.0;
    z = z * -1;
    expect_f(z, 0x8000, 0x0000, 50);
    expect(z == 0.0, 1, 51);
    expect(z < 0.0, 0, 52);
    expect_f(-z, 0x0000, 0x0000, 53);
    expect_f(add(2.5, -2.5), 0x0000, 0x0000, 54);
    return finish();
}
