/* Number routines on long and unsigned long values: Fibonacci to the top
   of the signed range, Euclid's algorithm, an integer square root,
   modular powers and the decimal digits of a value. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

long fib(int n)
{
    long a = 0, b = 1, t;
    while (n-- > 0) {
        t = a + b;
        a = b;
        b = t;
    }
    return a;
}

unsigned long gcd(unsigned long a, unsigned long b)
{
    unsigned long t;
    while (b) {
        t = a % b;
        a = b;
        b = t;
    }
    return a;
}

unsigned long isqrt(unsigned long v)
{
    unsigned long r = 0, bit = 1UL << 30;
    while (bit > v)
        bit >>= 2;
    while (bit) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else
            r >>= 1;
        bit >>= 2;
    }
    return r;
}

unsigned long powmod(unsigned long b, unsigned long e, unsigned long m)
{
    unsigned long r = 1;
    b %= m;
    while (e) {
        if (e & 1)
            r = r * b % m;
        b = b * b % m;
        e >>= 1;
    }
    return r;
}

int digit_sum(long v)
{
    int s = 0;
    if (v < 0)
        v = -v;
    do {
        s += (int)(v % 10);
        v /= 10;
    } while (v);
    return s;
}

int main(void)
{
    init_io();
    expect_l(fib(24), 0x0000, 0xB520, 1);       /* 46368 */
    expect_l(fib(46), 0x6D73, 0xE55F, 2);       /* 1836311903 */
    expect_l(gcd(1071, 462), 0, 21, 3);
    expect_l(gcd(0xFFFFFFFF, 0x10001), 0x0001, 0x0001, 4);
    expect_l(gcd(3000000000UL, 1800000000), 0x23C3, 0x4600, 5);
    expect_l(isqrt(1000000), 0, 1000, 6);
    expect_l(isqrt(0xFFFFFFFF), 0, 0xFFFF, 7);
    expect_l(isqrt(99), 0, 9, 8);
    expect_l(powmod(2, 10, 1000), 0, 24, 9);
    expect_l(powmod(3, 200, 65521), 0, 0x6004, 10);
    expect_l(powmod(12345, 65535, 65521), 0, 0x56AD, 11);
    expect(digit_sum(123456789), 45, 12);
    expect(digit_sum(-2147483647), 46, 13);
    expect(digit_sum(0), 0, 14);
    return finish();
}
