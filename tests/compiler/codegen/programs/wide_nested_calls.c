/* Calls whose arguments are themselves calls returning long and float
   values, mixed with narrow arguments, so that results are kept safe
   while the next argument is worked out. */
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

long add3(long a, long b, long c) { return a + b + c; }
float fma_(float a, float b, float c) { return a * b + c; }
long lsel(char which, long a, long b) { return which ? a : b; }
float fsel(int which, float a, float b) { return which ? a : b; }
long sq(long v) { return v * v; }
float half(float v) { return v / 2; }

int main(void)
{
    long x = 300;
    float y = 6.0;
    init_io();
    expect_l(add3(sq(x), sq(-x), sq(sq(10))), 0x0002, 0xE630, 1);
    expect_l(add3(1, add3(2, add3(3, 0x10000, 4), 5), 6), 0x0001, 0x0015, 2);
    expect_f(fma_(half(y), half(half(y)), half(1.0)), 0x40A0, 0, 3);
    expect_f(fma_(fma_(2.0, 3.0, 1.0), half(y), fsel(0, 1.0, -1.0)), 0x41A0, 0, 4);
    expect_l(lsel(1, lsel(0, 5, sq(x)), add3(7, 8, 9)), 0x0001, 0x5F90, 5);
    expect_f(fsel(x > 200, fma_(y, y, y), half(y)), 0x4228, 0, 6);
    expect_l(sq(add3(x, x, -x)) + (long)fma_(y, 0.5, 0.25), 0x0001, 0x5F93, 7);
    return finish();
}
