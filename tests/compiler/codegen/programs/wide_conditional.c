/* The conditional operator with arms of different types: the result takes
   the common type of both arms, so an int arm widens to long, unsigned
   long or float before the choice is made. */
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

int main(void)
{
    int yes = 1, no = 0, m1 = -1;
    long l = 0x12345;
    unsigned long ul;
    float f;
    init_io();
    expect_l(yes ? m1 : 1UL, 0xFFFF, 0xFFFF, 1);
    expect_l(no ? 1UL : m1, 0xFFFF, 0xFFFF, 2);
    expect_l(yes ? m1 : l, 0xFFFF, 0xFFFF, 3);
    expect_l(yes ? 0xFFFF : l, 0, 0xFFFF, 4);   /* unsigned int widens with zeros */
    expect_l(no ? m1 : l, 0x0001, 0x2345, 5);
    f = yes ? 1 : 2.5;
    expect_f(f, 0x3F80, 0, 6);
    f = no ? 1 : 2.5;
    expect_f(f, 0x4020, 0, 7);
    expect_f(yes ? m1 : 0.5, 0xBF80, 0, 8);
    expect_f(no ? l : 0.5, 0x3F00, 0, 9);
    expect_f(yes ? l : 0.5, 0x4791, 0xA280, 10);
    ul = yes ? m1 : 0u;
    expect_l(ul, 0, 0xFFFF, 11);                /* int and unsigned int: unsigned int */
    expect(sizeof(yes ? 1 : 1L), 4, 12);
    expect(sizeof(yes ? 'a' : 1.0), 4, 13);
    expect((yes ? m1 : 1UL) > 0, 1, 14);
    expect((yes ? m1 : 1L) > 0, 0, 15);
    expect((yes ? m1 : 1.0) < 0, 1, 16);
    return finish();
}
