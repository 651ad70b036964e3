/* Long and unsigned long objects with float right sides in assignment
   operators, reached directly, through pointers and as structure members:
   the operation runs in float and the result converts back, truncating
   toward zero and saturating. */
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

struct acc { char tag; long total; unsigned long count; };

float rate(void) { return 1.5; }

int main(void)
{
    long l = 1000;
    unsigned long ul = 3000000000UL;
    long *p = &l;
    struct acc a;
    struct acc *ap = &a;
    init_io();
    l += rate();
    expect_l(l, 0, 1001, 1);
    *p *= rate();
    expect_l(l, 0, 1501, 2);
    *p -= 2000.25;
    expect_l(l, 0xFFFF, 0xFE0D, 3);        /* -499.25 truncated to -499 */
    l /= -0.5;
    expect_l(l, 0, 998, 4);
    ul /= 1.5;
    expect_l(ul, 0x7735, 0x9400, 5);       /* 2000000000 */
    ul *= 4.0;
    expect_l(ul, 0xFFFF, 0xFFFF, 6);       /* 8e9 saturates */
    ul -= 5e9;
    expect_l(ul, 0, 0, 7);                 /* negative gives 0 */
    a.tag = 'k';
    a.total = 70000;
    a.count = 10;
    ap->total -= 0.75;
    expect_l(a.total, 0x0001, 0x116F, 8);
    ap->count += ap->total * 0.5;
    expect_l(a.count, 0, 0x88C1, 9);       /* 10 + 34999.5 */
    ap->total *= -rate();
    expect_l(a.total, 0xFFFE, 0x65DA, 10);  /* -104998.5 truncated */
    expect(a.tag, 'k', 11);
    return finish();
}
