/* Narrow and mixed-sign arguments to long and unsigned long parameters:
   char, unsigned char, short, unsigned short and int each widen by their
   own signedness, and constants of each type do the same. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

unsigned long uid(unsigned long v) { return v; }
long sid(long v) { return v; }
unsigned long usum(unsigned long a, unsigned long b, unsigned long c) { return a + b + c; }

int main(void)
{
    char c = -1;
    unsigned char uc = 0xFF;
    short s = -300;
    unsigned short us = 0xFED4;
    int i = -32767 - 1;
    unsigned u = 0x8000;
    init_io();
    expect_l(uid(c), 0xFFFF, 0xFFFF, 1);
    expect_l(uid(uc), 0, 0xFF, 2);
    expect_l(sid(s), 0xFFFF, 0xFED4, 3);
    expect_l(sid(us), 0, 0xFED4, 4);
    expect_l(uid(i), 0xFFFF, 0x8000, 5);
    expect_l(sid(u), 0, 0x8000, 6);
    expect_l(uid(-1), 0xFFFF, 0xFFFF, 7);
    expect_l(uid(0xFFFF), 0, 0xFFFF, 8);
    expect_l(sid('\xFF'), 0xFFFF, 0xFFFF, 9);
    expect_l(usum(c, uc, u), 0, 0x80FE, 10);
    expect_l(usum(s, us, i), 0x0000, 0x7DA8, 11);
    return finish();
}
