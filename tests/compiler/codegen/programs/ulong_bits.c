/* Bit counting and bit reversal on unsigned long values, the highest set
   bit, and single bits set, cleared and toggled by variable positions. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

int popcount(unsigned long v)
{
    int n = 0;
    while (v) {
        v &= v - 1;
        ++n;
    }
    return n;
}

int highest(unsigned long v)
{
    int n = -1;
    while (v) {
        v >>= 1;
        ++n;
    }
    return n;
}

unsigned long reverse(unsigned long v)
{
    unsigned long r = 0;
    int k;
    for (k = 0; k < 32; ++k) {
        r = r << 1 | (v & 1);
        v >>= 1;
    }
    return r;
}

int main(void)
{
    unsigned long v = 0;
    int k;
    init_io();
    expect(popcount(0xFFFFFFFF), 32, 1);
    expect(popcount(0x80000001), 2, 2);
    expect(popcount(0x12345678), 13, 3);
    expect(highest(1), 0, 4);
    expect(highest(0x80000000), 31, 5);
    expect(highest(0x00010000), 16, 6);
    expect(highest(0x0000FFFF), 15, 7);
    expect(highest(0), -1, 8);
    expect_l(reverse(1), 0x8000, 0, 9);
    expect_l(reverse(0x12345678), 0x1E6A, 0x2C48, 10);
    for (k = 0; k < 32; k += 5)
        v |= 1UL << k;
    expect_l(v, 0x4210, 0x8421, 11);
    k = 15;
    v &= ~(1UL << k);
    expect_l(v, 0x4210, 0x0421, 12);
    k = 16;
    v ^= 1UL << k;
    expect_l(v, 0x4211, 0x0421, 13);
    expect((v >> k & 1) != 0, 1, 14);
    expect((v & 1UL << 17) != 0, 0, 15);
    return finish();
}
