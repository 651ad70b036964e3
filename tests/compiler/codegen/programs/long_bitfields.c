/* Bit fields in 32-bit words: reads, writes that keep the neighbours,
   assignment operators and increments. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct packed {
    unsigned long low : 20;
    unsigned long high : 12;
};

struct mixed {
    char tag;
    unsigned long a : 5;
    unsigned long b : 17;
    unsigned long c : 10;
};

struct packed gp;

int main(void)
{
    struct mixed m;
    struct mixed *p = &m;
    unsigned *w = (unsigned *)&gp;
    long x;
    init_io();
    gp.low = 0xABCDE;
    gp.high = 0x123;
    expect(w[0], 0x123A, 1);
    expect(w[1], 0xBCDE, 2);
    x = gp.low;
    expect((int)(x >> 16), 0xA, 3);
    expect((int)x, 0xBCDE, 4);
    expect((int)gp.high, 0x123, 5);
    gp.low = 0x123456;                 /* cut to 20 bits */
    expect(w[0], 0x1232, 6);
    expect(w[1], 0x3456, 7);
    m.tag = 9;
    p->a = 31;
    p->b = 0x1FFFF;
    p->c = 0;
    p->b += 2;
    expect((int)p->b, 1, 10);
    expect((int)p->a, 31, 11);
    expect((int)p->c, 0, 12);
    x = p->c++;
    expect((int)x, 0, 13);
    expect((int)p->c, 1, 14);
    p->c |= 0x200;
    expect((int)p->c, 0x201, 15);
    expect(m.tag, 9, 16);
    expect((int)(p->a + p->c), 0x220, 17);
    return finish();
}
