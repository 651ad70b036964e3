/* Long and unsigned long operations with constant right operands that an
   optimiser may turn into shifts or drop: multiples and quotients by
   powers of two (signed quotients still round toward zero), by 1, 0 and
   -1, and remainders by powers of two of negative values. */
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
    long n = -7, p = 100000;
    unsigned long u = 0xFFFFFFF9;
    init_io();
    expect_l(n * 2, 0xFFFF, 0xFFF2, 1);
    expect_l(p * 4, 0x0006, 0x1A80, 2);
    expect_l(p * 256, 0x0186, 0xA000, 3);
    expect_l(p * 65536, 0x86A0, 0x0000, 4);
    expect_l(p * 1, 0x0001, 0x86A0, 5);
    expect_l(p * 0, 0, 0, 6);
    expect_l(p * -1, 0xFFFE, 0x7960, 7);
    expect_l(p * 10, 0x000F, 0x4240, 8);
    expect_l(n / 2, 0xFFFF, 0xFFFD, 10);
    expect_l(n / 4, 0xFFFF, 0xFFFF, 11);
    expect_l(n / 8, 0, 0, 12);
    expect_l(n % 2, 0xFFFF, 0xFFFF, 13);
    expect_l(n % 4, 0xFFFF, 0xFFFD, 14);
    expect_l(n / 65536, 0, 0, 15);
    expect_l(-p / 65536, 0xFFFF, 0xFFFF, 16);
    expect_l(-p % 65536, 0xFFFF, 0x7960, 17);
    expect_l(u / 2, 0x7FFF, 0xFFFC, 18);
    expect_l(u % 8, 0, 1, 19);
    expect_l(u / 65536, 0, 0xFFFF, 20);
    expect_l(u / 1, 0xFFFF, 0xFFF9, 21);
    expect_l(n / -1, 0, 7, 22);
    expect_l(p / 10, 0, 10000, 23);
    n *= 8;
    expect_l(n, 0xFFFF, 0xFFC8, 30);
    n /= 16;
    expect_l(n, 0xFFFF, 0xFFFD, 31);
    u >>= 1;
    u *= 2;
    expect_l(u, 0xFFFF, 0xFFF8, 32);
    u %= 0x10000;
    expect_l(u, 0, 0xFFF8, 33);
    return finish();
}
