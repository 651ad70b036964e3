/* Bitwise operators on long operands whose other side is narrower: the
   narrow side widens by its own signedness first. Logical operators and
   the conditional operator on long and float values. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

int main(void)
{
    long x = 0x12345678;
    unsigned long u = 0x80008000;
    int neg = -256;
    unsigned mask = 0xFF00;
    char c = -128;
    unsigned char uc = 0x80;
    float f = 0.5, zero = 0;
    long lz = 0;
    init_io();
    expect_l(x & 0xFF, 0, 0x0078, 1);
    expect_l(x & ~0xFF, 0x1234, 0x5600, 2);      /* ~0xFF is the int -256 */
    expect_l(x & neg, 0x1234, 0x5600, 3);
    expect_l(x & mask, 0, 0x5600, 4);            /* unsigned widens with zeros */
    expect_l(x & 0xFF00u, 0, 0x5600, 5);
    expect_l(x | c, 0xFFFF, 0xFFF8, 6);
    expect_l(x | uc, 0x1234, 0x56F8, 7);
    expect_l(x ^ neg, 0xEDCB, 0xA978, 8);
    expect_l(u ^ c, 0x7FFF, 0x7F80, 9);
    expect_l(u & 0xFFFF, 0, 0x8000, 10);
    expect_l(u | 1, 0x8000, 0x8001, 11);
    expect_l(~u, 0x7FFF, 0x7FFF, 12);
    expect_l(~0L, 0xFFFF, 0xFFFF, 13);
    expect_l(~0UL >> 1, 0x7FFF, 0xFFFF, 14);
    expect_l(x & 0x10000, 0x0000, 0, 15);
    expect_l(x & 0x20000, 0x0000, 0, 16);
    expect_l(x & 0x40000, 0x0004, 0, 17);
    /* tests of the whole 32 bits */
    expect(!(x & 0xFFFF0000), 0, 20);
    expect(!(x & 0x0000FFFF), 0, 21);
    expect(!(u & 0x7FFF7FFF), 1, 22);
    expect(x && f, 1, 23);
    expect(x && zero, 0, 24);
    expect(lz || zero, 0, 25);
    expect(lz || f, 1, 26);
    expect(!f, 0, 27);
    expect(!zero, 1, 28);
    expect(!lz, 1, 29);
    lz = 0x10000;
    expect(!lz, 0, 30);
    expect(lz ? 5 : 6, 5, 31);
    lz = 0x8000;
    expect(lz ? 5 : 6, 5, 32);
    expect((int)(lz ? x : u), 0x5678, 33);
    expect((int)(f ? 2 : 3), 2, 34);
    expect((int)(zero ? 2 : 3), 3, 35);
    return finish();
}
