/* Conversions in every direction between char, int, long (signed and
   unsigned), float and double, with the edges of each range. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int hi(unsigned long v) { return (int)(v >> 16); }
int lo(unsigned long v) { return (int)v; }

int main(void)
{
    signed char sc = -128;
    unsigned char uc = 200;
    int i = -32768;
    unsigned u = 65535;
    long l;
    unsigned long ul;
    float f;
    double d;
    init_io();
    l = sc;
    expect(hi(l), -1, 1);
    expect(lo(l), -128, 2);
    ul = uc;
    expect(hi(ul), 0, 3);
    expect(lo(ul), 200, 4);
    l = i;
    expect(hi(l), -1, 5);
    ul = u;
    expect(hi(ul), 0, 6);
    ul = (unsigned long)(int)-1;
    expect(hi(ul), -1, 7);
    expect(lo(ul), -1, 8);
    ul = 0x89ABCDEF;
    l = ul;
    expect(l < 0, 1, 9);
    uc = ul;
    expect(uc, 0xEF, 10);
    sc = ul;
    expect(sc, -17, 11);
    /* through float */
    f = sc;
    expect(f == -17, 1, 12);
    f = u;
    expect(f == 65535.0, 1, 13);
    f = ul;                             /* 2309737967 rounds to 2309737984 */
    ul = f;
    expect(hi(ul), 0x89AB, 14);
    expect(lo(ul), 0xCE00, 15);
    f = -1.5;
    ul = f;
    expect(lo(ul), 0, 16);              /* negative to unsigned gives 0 */
    f = 1e20;
    l = f;
    expect(hi(l), 0x7FFF, 17);          /* saturated */
    expect(lo(l), -1, 18);
    f = -1e20;
    l = f;
    expect(hi(l), -0x8000, 19);
    expect(lo(l), 0, 20);
    d = 0.1;
    f = d;
    expect(f == d, 1, 21);
    d = f * 3;
    i = d * 10;
    expect(i, 3, 22);
    u = 3.99;
    expect(u, 3, 23);
    l = -7;
    d = l;
    expect((int)(d / 2), -3, 24);
    return finish();
}
