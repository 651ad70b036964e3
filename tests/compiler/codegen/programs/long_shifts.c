/* 32-bit shifts by constant and variable counts, arithmetic against
   logical right shifts, counts of 32 and more, and shift assignments. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

long shl(long v, int n) { return v << n; }
long sar(long v, int n) { return v >> n; }
unsigned long shr(unsigned long v, int n) { return v >> n; }

int main(void)
{
    long x = 0x12345678;
    long n = -0x10000L;
    unsigned long u = 0x80000000;
    int k;
    int i = 0x1234;
    init_io();
    /* constant counts */
    expect_l(x << 4, 0x2345, 0x6780, 1);
    expect_l(x >> 8, 0x0012, 0x3456, 2);
    expect_l(x << 16, 0x5678, 0x0000, 3);
    expect_l(x >> 16, 0x0000, 0x1234, 4);
    expect_l(n >> 4, 0xFFFF, 0xF000, 5);
    expect_l(u >> 31, 0, 1, 6);
    expect_l(u >> 16, 0, 0x8000, 7);
    expect_l(x << 1, 0x2468, 0xACF0, 8);
    expect_l(n >> 1, 0xFFFF, 0x8000, 9);
    expect_l((unsigned long)0xFF << 24, 0xFF00, 0, 10);
    expect_l((long)i << 16, 0x1234, 0, 11);
    expect_l(x << 0, 0x1234, 0x5678, 12);
    /* variable counts */
    k = 20;
    expect_l(x << k, 0x6780, 0x0000, 20);
    expect_l(x >> k, 0x0000, 0x0123, 21);
    expect_l(n >> k, 0xFFFF, 0xFFFF, 22);
    k = 31;
    expect_l(1UL << k, 0x8000, 0, 23);
    expect_l(u >> k, 0, 1, 24);
    k = 16;
    expect_l(shl(x, k), 0x5678, 0, 25);
    expect_l(sar(n, k), 0xFFFF, 0xFFFF, 26);
    expect_l(shr(0xFFFF0000, k), 0, 0xFFFF, 27);
    expect_l(sar(0x80000000, 28), 0xFFFF, 0xFFF8, 28);
    expect_l(shr(0x80000000, 28), 0, 0x0008, 29);
    k = 0;
    expect_l(x >> k, 0x1234, 0x5678, 30);
    /* everything shifted out */
    k = 32;
    expect_l(x << k, 0, 0, 31);
    expect_l(x >> k, 0, 0, 32);
    expect_l(n >> k, 0xFFFF, 0xFFFF, 33);
    expect_l(shr(u, 40), 0, 0, 34);
    /* shift assignments */
    x <<= 3;
    expect_l(x, 0x91A2, 0xB3C0, 40);
    u = x;
    x >>= 3;
    expect_l(x, 0xF234, 0x5678, 41);
    u >>= 3;
    expect_l(u, 0x1234, 0x5678, 42);
    k = 12;
    u <<= k;
    expect_l(u, 0x4567, 0x8000, 43);
    /* an int shifted by a long count stays an int */
    expect(1 << 3L, 8, 44);
    expect(sizeof(1 << 3L), 2, 45);
    return finish();
}
