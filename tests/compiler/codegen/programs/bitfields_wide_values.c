/* Narrow bit fields in 8- and 16-bit units fed from long, unsigned long
   and float values (cut to the field's width), and read back into wide
   arithmetic. */
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

struct flags {
    unsigned a : 3;
    unsigned b : 9;
    unsigned c : 4;
};

struct bytes {
    unsigned char lo : 4;
    unsigned char hi : 4;
};

int main(void)
{
    struct flags f;
    struct bytes by;
    long l = 0x12345;
    unsigned long ul = 0xFFFFFFFF;
    float x = 300.75;
    long sum;
    init_io();
    f.a = l;              /* 0x12345 & 7 */
    f.b = ul;
    f.c = x;              /* 300 & 15 */
    expect(f.a, 5, 1);
    expect(f.b, 0x1FF, 2);
    expect(f.c, 12, 3);
    sum = f.a + f.b * 0x10000L;
    expect_l(sum, 0x01FF, 0x0005, 4);
    x = f.b;
    expect_f(x, 0x43FF, 0x8000, 5);       /* 511 */
    x = f.b * 1.5;
    expect_f(x, 0x443F, 0xA000, 6);       /* 766.5 */
    f.b += l;
    expect(f.b, 0x144, 7);                /* (0x1FF + 0x12345) & 0x1FF */
    f.c -= 13L;
    expect(f.c, 15, 8);
    by.lo = 0x1234567F;
    by.hi = -1L;
    expect(by.lo, 15, 9);
    expect(by.hi, 15, 10);
    expect_l(by.hi * 0x11111111UL, 0xFFFF, 0xFFFF, 11);
    expect(f.a, 5, 12);
    return finish();
}
