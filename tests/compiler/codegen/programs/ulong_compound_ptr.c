/* Every assignment operator on unsigned long and long objects reached
   through pointers and structure members, with the value of the
   assignment used. */
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

struct pair { char c; unsigned long u; long s; };

int main(void)
{
    struct pair pr;
    struct pair *p = &pr;
    unsigned long *q = &pr.u;
    unsigned long r;
    init_io();
    p->u = 0x0000FFFF;
    r = (*q += 1);
    expect_l(r, 1, 0, 1);
    r = (p->u -= 2);
    expect_l(r, 0, 0xFFFE, 2);
    r = (*q *= 0x10001);
    expect_l(r, 0xFFFE, 0xFFFE, 3);
    r = (p->u /= 0x100);
    expect_l(r, 0x00FF, 0xFEFF, 4);
    r = (*q %= 0x1000);
    expect_l(r, 0, 0x0EFF, 5);
    r = (p->u |= 0xF0000000);
    expect_l(r, 0xF000, 0x0EFF, 6);
    r = (*q &= 0xFF00FFFF);
    expect_l(r, 0xF000, 0x0EFF, 7);
    r = (p->u ^= 0xFFFFFFFF);
    expect_l(r, 0x0FFF, 0xF100, 8);
    r = (*q <<= 4);
    expect_l(r, 0xFFFF, 0x1000, 9);
    r = (p->u >>= 8);
    expect_l(r, 0x00FF, 0xFF10, 10);
    p->s = -0x100;
    p->s >>= 4;
    expect_l(p->s, 0xFFFF, 0xFFF0, 11);
    p->s /= 3;
    expect_l(p->s, 0xFFFF, 0xFFFB, 12);
    p->s %= 2;
    expect_l(p->s, 0xFFFF, 0xFFFF, 13);
    p->c = 5;
    p->s *= p->c;
    expect_l(p->s, 0xFFFF, 0xFFFB, 14);
    expect(p->c, 5, 15);
    return finish();
}
