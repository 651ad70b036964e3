/* short and unsigned short (16 bits) mixed with long and unsigned long:
   each widens by its own signedness, in arithmetic, compares, arguments,
   and assignment operators in both directions. */
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

long widen(short s) { return s; }
unsigned long uwiden(unsigned short s) { return s; }

int main(void)
{
    short s = -2;
    unsigned short us = 0xFFFE;
    long l = 0x00020000;
    unsigned long ul = 0x00020000;
    init_io();
    expect_l(s + l, 0x0001, 0xFFFE, 1);
    expect_l(us + l, 0x0002, 0xFFFE, 2);
    expect_l(s + ul, 0x0001, 0xFFFE, 3);
    expect_l(l * s, 0xFFFC, 0x0000, 4);
    expect_l(l / s, 0xFFFF, 0x0000, 5);
    expect_l(ul / us, 0, 2, 6);
    expect(s < l, 1, 7);
    expect(us < l, 1, 8);
    expect(s < ul, 0, 9);               /* -2 becomes a huge unsigned long */
    expect_l(widen(s), 0xFFFF, 0xFFFE, 10);
    expect_l(uwiden(us), 0, 0xFFFE, 11);
    l += s;
    expect_l(l, 0x0001, 0xFFFE, 12);
    l -= us;
    expect_l(l, 0x0001, 0x0000, 13);
    s += l;                              /* 0x0000FFFE cut to 16 bits */
    expect(s, -2, 14);
    us *= l;
    expect(us, 0, 15);                   /* 0xFFFE0000 cut to 16 bits */
    us = l >> 1;
    expect(us, 0x8000, 16);
    s = -l;
    expect(s, 0, 17);
    return finish();
}
