/* 32-bit multiplication, division and remainder: signs, truncation toward
   zero, the remainder's sign, full unsigned range and division by zero. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

long quot(long a, long b) { return a / b; }
long rem(long a, long b) { return a % b; }
unsigned long uquot(unsigned long a, unsigned long b) { return a / b; }
unsigned long urem(unsigned long a, unsigned long b) { return a % b; }

int main(void)
{
    unsigned long u = 0xFFFFFFFF;
    long a = 1000000, b = 7;
    long zero = 0;
    init_io();
    expect_l(u / 10, 0x1999, 0x9999, 1);
    expect_l(u % 10, 0, 5, 2);
    expect_l(a / b, 0x0002, 0x2E09, 3);
    expect_l(a % b, 0, 1, 4);
    expect_l(-a / b, 0xFFFD, 0xD1F7, 5);
    expect_l(-a % b, 0xFFFF, 0xFFFF, 6);
    expect_l(quot(a, -b), 0xFFFD, 0xD1F7, 7);
    expect_l(rem(a, -b), 0, 1, 8);
    expect_l(quot(-a, -b), 0x0002, 0x2E09, 9);
    expect_l(rem(-a, -b), 0xFFFF, 0xFFFF, 10);
    expect_l(uquot(0xFFFFFFFF, 0x10000), 0, 0xFFFF, 11);
    expect_l(uquot(0x80000000, 3), 0x2AAA, 0xAAAA, 12);
    expect_l(urem(0x80000000, 3), 0, 2, 13);
    expect_l(uquot(0x12345678, 0x12345679), 0, 0, 14);
    expect_l(urem(0x12345678, 0x12345679), 0x1234, 0x5678, 15);
    /* unsigned against signed: the same bits divide differently */
    expect_l((unsigned long)-a / b, 0x2490, 0x1B1B, 16);
    /* division by zero never traps */
    expect_l(uquot(1234, 0), 0xFFFF, 0xFFFF, 20);
    expect_l(urem(1234, 0), 0, 1234, 21);
    expect_l(a / zero, 0xFFFF, 0xFFFF, 22);
    expect_l(a % zero, 0x000F, 0x4240, 23);
    /* products keep the low 32 bits */
    expect_l(0x10001L * 0x10001L, 0x0002, 0x0001, 30);
    expect_l(a * -3, 0xFFD2, 0x3940, 31);
    expect_l(100000L * -3, 0xFFFB, 0x6C20, 32);
    expect_l((unsigned long)0xFFFF * 0xFFFF, 0xFFFE, 0x0001, 33);
    expect_l(-a * -b, 0x006A, 0xCFC0, 34);
    /* assignment operators */
    u /= 16;
    expect_l(u, 0x0FFF, 0xFFFF, 40);
    u %= 0x1000;
    expect_l(u, 0, 0x0FFF, 41);
    u *= 0x10001;
    expect_l(u, 0x0FFF, 0x0FFF, 42);
    a /= -b;
    expect_l(a, 0xFFFD, 0xD1F7, 43);
    a %= 1000;
    expect_l(a, 0xFFFF, 0xFCA7, 44);
    return finish();
}
