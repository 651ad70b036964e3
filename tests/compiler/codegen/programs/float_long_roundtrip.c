/* long to float and back: exact up to 2^24, rounded to even beyond it,
   and truncated on the way back; unsigned long through the top bit. */
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

long back(long v) { float f = v; return f; }
unsigned long uback(unsigned long v) { float f = v; return f; }

int main(void)
{
    init_io();
    expect_l(back(16777215), 0x00FF, 0xFFFF, 1);
    expect_l(back(-16777215), 0xFF00, 0x0001, 2);
    expect_l(back(16777217), 0x0100, 0x0000, 3);
    expect_l(back(16777219), 0x0100, 0x0004, 4);
    expect_l(back(33554435), 0x0200, 0x0004, 5);
    expect_l(back(-33554435), 0xFDFF, 0xFFFC, 6);
    expect_l(back(2147483583), 0x7FFF, 0xFF80, 7);
    expect_l(back(-2147483647 - 1), 0x8000, 0, 8);
    expect_l(uback(0x80000080), 0x8000, 0x0000, 9);
    expect_l(uback(0x80000180), 0x8000, 0x0200, 10);
    expect_l(uback(0xFFFFFF00), 0xFFFF, 0xFF00, 11);
    expect_l(uback(123), 0, 123, 12);
    return finish();
}
