/* 32-bit compares where the words disagree, and compares between long,
   unsigned long and 16-bit operands after the usual conversions; loops
   counted by long and unsigned long variables. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int less(long a, long b) { return a < b; }
int uless(unsigned long a, unsigned long b) { return a < b; }

int main(void)
{
    long a = -1, m = 0x7FFFFFFF, n = 0x80000000;
    unsigned long u = 1;
    unsigned ui = 1;
    int i = -1;
    long hi1 = 0x00018000, hi2 = 0x00017FFF;
    long neg1 = 0xFFFF8000, neg2 = 0xFFFF7FFF;
    long l;
    unsigned long ul;
    int count;
    init_io();
    /* signed long against unsigned long: the long turns unsigned */
    expect(a < u, 0, 1);
    expect(a > u, 1, 2);
    /* long against unsigned int: the unsigned int fits in a long */
    expect(a < ui, 1, 3);
    /* int against unsigned long: the int turns unsigned long */
    expect(i < u, 0, 4);
    expect(i == 0xFFFFFFFF, 1, 5);
    expect(i == 0xFFFF, 1, 6);          /* 0xFFFF is an unsigned int */
    expect(i == 65535L, 0, 8);
    expect(ui == 1L, 1, 7);
    /* the sign word decides, then the low word unsigned */
    expect(m > n, 1, 10);
    expect(less(n, m), 1, 11);
    expect(uless(m, n), 1, 12);
    expect(hi1 > hi2, 1, 13);
    expect(hi1 < hi2, 0, 14);
    expect(neg1 > neg2, 1, 15);
    expect(less(neg2, neg1), 1, 16);
    expect(uless(0x0000FFFF, 0x00010000), 1, 17);
    expect(uless(0x00010000, 0x0000FFFF), 0, 18);
    expect(less(0x0000FFFF, 0x00010000), 1, 19);
    expect(less(-65536, 65535), 1, 20);
    expect(hi1 >= 0x00018000, 1, 21);
    expect(hi1 <= 0x00018000, 1, 22);
    expect(hi1 >= 0x00018001, 0, 23);
    expect(hi2 <= 0x00017FFE, 0, 24);
    expect(hi1 != hi2, 1, 25);
    expect(hi1 == hi2 + 1, 1, 26);
    expect(neg1 < 0, 1, 27);
    expect(m > 0, 1, 28);
    expect(n < 0, 1, 29);
    expect(n > 0UL, 1, 30);
    /* loops */
    count = 0;
    for (l = 0; l < 70000; l += 10000)
        ++count;
    expect(count, 7, 40);
    count = 0;
    for (l = 3; l >= 0; l--)
        ++count;
    expect(count, 4, 41);
    count = 0;
    ul = 3;
    while (ul--)
        ++count;
    expect(count, 3, 42);
    expect(ul == 0xFFFFFFFF, 1, 43);
    count = 0;
    for (l = -70000; l != 70000; l += 35000)
        ++count;
    expect(count, 4, 44);
    return finish();
}
