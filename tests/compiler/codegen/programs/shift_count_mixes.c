/* Shifts whose value and count have different types: the result takes
   the promoted type of the value alone, whatever the count's type, and
   right shifts of signed values keep the sign. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)((unsigned long)got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

int main(void)
{
    char c = -128;
    unsigned char uc = 0x81;
    int i = -32000;
    unsigned u = 0x8001U;
    long l = -65536L;
    unsigned long ul = 0xF0000000UL;
    long nl = 3;
    unsigned long nul = 12;
    char nc = 4;
    unsigned char nuc = 9;
    init_io();

    expect(c >> nuc, -1, 1);               /* int -128 >> 9 */
    expect(c << nl, -1024, 2);
    expect(uc << nuc, 0x0200, 3);          /* int 0x10200 wraps to 0x0200 */
    expect(uc >> 1L, 0x40, 4);
    expect(i >> nl, -4000, 5);
    expect(i >> nul, -8, 6);               /* -32000 >> 12 rounds down */
    expect(u >> nl, 0x1000, 7);
    expect(u << nc, 0x0010, 8);
    expect(u >> 15L, 1, 9);
    expect(sizeof(u << nl), 2, 10);
    expect(sizeof(uc << nl), 2, 11);
    expect(sizeof(i << 1L), 2, 12);

    expect_l(l >> nc, 0xFFFF, 0xF000, 20);
    expect_l(l >> nuc, 0xFFFF, 0xFF80, 21);
    expect_l(l << nc, 0xFFF0, 0, 22);
    expect_l(l >> 16, 0xFFFF, 0xFFFF, 23);
    expect_l((long)(ul >> nc), 0x0F00, 0, 24);
    expect_l((long)(ul >> nul), 0x000F, 0, 25);
    expect_l((long)(ul << nc), 0, 0, 26);
    expect_l(1L << nul, 0, 0x1000, 27);
    expect_l(1L << (nul + 19), 0x8000, 0, 28);
    expect_l((long)(0xFFFFFFFFUL >> (nuc + 22)), 0, 1, 29);
    expect_l(l >> (nuc + 22), 0xFFFF, 0xFFFF, 30);  /* -65536 >> 31 */

    i = 1;
    i <<= nl;
    i <<= nul;                             /* 8 << 12 = 0x8000 */
    expect(i, (int)0x8000, 40);
    i >>= nc;                              /* arithmetic: 0xF800 */
    expect(i, (int)0xF800, 41);
    u = 0x8000U;
    u >>= nc;
    expect(u, 0x0800, 42);
    uc = 0xF0;
    uc >>= nl;
    expect(uc, 0x1E, 43);
    c = -64;
    c >>= nl;
    expect(c, -8, 44);
    c <<= 4L;                              /* -128 */
    expect(c, -128, 45);
    l = 0x12345678L;
    l <<= nc;
    expect_l(l, 0x2345, 0x6780, 46);
    l >>= nuc + 19;                        /* >> 28 */
    expect_l(l, 0, 2, 47);
    l = -1;
    l <<= nul + 19;                        /* << 31 */
    expect_l(l, 0x8000, 0, 48);
    l >>= 31;
    expect_l(l, 0xFFFF, 0xFFFF, 49);
    ul = 0x80000000UL;
    ul >>= nul + 19;
    expect_l((long)ul, 0, 1, 50);
    return finish();
}
