/* Shift counts at and past the width of int and long, folded from
   constants and shifted at run time: every bit goes out (or the sign
   fills an arithmetic right shift) in both cases. Counts that are long
   values shift int operands the same way. */
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
    int i = -2, k;
    unsigned u = 0x8001;
    long l = -2;
    unsigned long ul = 0x80000001;
    long lk;
    init_io();
    k = 16;
    expect(u << k, 0, 1);
    expect(0x8001u << 16, 0, 2);
    expect(i >> k, -1, 3);
    expect(-2 >> 16, -1, 4);
    expect(u >> k, 0, 5);
    expect(0x8001u >> 16, 0, 6);
    k = 15;
    expect(u << k, 0x8000, 7);
    expect(0x8001u << 15, 0x8000, 8);
    expect(u >> k, 1, 9);
    k = 33;
    expect_l(ul << k, 0, 0, 10);
    expect_l(0x80000001 << 33, 0, 0, 11);
    expect_l(l >> k, 0xFFFF, 0xFFFF, 12);
    expect_l(-2L >> 33, 0xFFFF, 0xFFFF, 13);
    expect_l(ul >> k, 0, 0, 14);
    expect_l(0x80000001 >> 33, 0, 0, 15);
    k = 31;
    expect_l(ul >> k, 0, 1, 16);
    expect_l(0x80000001 >> 31, 0, 1, 17);
    expect_l(ul << k, 0x8000, 0, 18);
    expect_l(0x80000001 << 31, 0x8000, 0, 19);
    lk = 4;
    expect(u >> lk, 0x0800, 20);
    expect_l(ul >> lk, 0x0800, 0x0000, 21);
    lk = 0x10004;                          /* a long count keeps its high word */
    expect_l(ul >> lk, 0, 0, 22);
    return finish();
}
