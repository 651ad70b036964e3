/* Functions that take and return float and long values: recursion,
   several wide arguments mixed with narrow ones, results used directly in
   expressions, through function pointers, and written back through
   pointer parameters. */
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

float power(float x, int n) { return n == 0 ? 1 : x * power(x, n - 1); }

long fact(int n) { return n <= 1 ? 1 : n * fact(n - 1); }

float poly(float x, float a, float b, float c) { return (a * x + b) * x + c; }

void split(float v, long *whole, float *frac)
{
    *whole = v;
    *frac = v - *whole;
}

float apply(float (*fn)(float), float v) { return fn(v); }
float twice(float v) { return v + v; }
float negate(float v) { return -v; }

unsigned long rotate(unsigned long v, char n) { return v << n | v >> (32 - n); }

long last(char a, long b, int c, float d, long e) { return a + b + c + (long)d + e; }

int main(void)
{
    long whole;
    float frac;
    float (*fp)(float) = twice;
    init_io();
    expect_f(power(1.5, 4), 0x40A2, 0, 1);              /* 5.0625 */
    expect_f(power(-2.0, 31), 0xCF00, 0, 2);
    expect_f(power(0.5, 10), 0x3A80, 0, 3);
    expect_l(fact(12), 0x1C8C, 0xFC00, 4);              /* 479001600 */
    expect_l(fact(10) / fact(8), 0, 90, 5);
    expect_f(poly(2.0, 3.0, -4.0, 0.5), 0x4090, 0, 6);        /* 4.5 */
    split(-12.75, &whole, &frac);
    expect_l(whole, 0xFFFF, 0xFFF4, 10);
    expect_f(frac, 0xBF40, 0, 11);
    split(100000.25, &whole, &frac);
    expect_l(whole, 0x0001, 0x86A0, 12);
    expect_f(frac, 0x3E80, 0, 13);
    expect_f(apply(fp, 3.25), 0x40D0, 0, 20);
    fp = negate;
    expect_f(apply(fp, 3.25), 0xC050, 0, 21);
    expect_f(fp(power(2.0, 3)) + 1, 0xC0E0, 0, 22);       /* -7 */
    expect_l(rotate(0x12345678, 8), 0x3456, 0x7812, 30);
    expect_l(rotate(0x80000001, 1), 0x0000, 0x0003, 31);
    expect_l(last(-1, 100000, -2, 2.75, -100000), 0xFFFF, 0xFFFF, 32);
    expect(power(3.0, 2) == 9 && fact(3) == 6, 1, 33);
    return finish();
}
