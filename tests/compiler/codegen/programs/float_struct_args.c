/* Structures holding float, long and unsigned long members: built and
   returned by value, passed by value and by pointer, updated in place
   through assignment operators, and kept in arrays. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

struct sample {
    char tag;
    float x;
    long count;
    unsigned long mask;
    float y;
};

struct sample make(char tag, float x, long count, float y)
{
    struct sample s;
    s.tag = tag;
    s.x = x;
    s.count = count;
    s.mask = 0xF0F0F0F0;
    s.y = y;
    return s;
}

float sum(struct sample s) { return s.x + s.y + s.count; }

void scale(struct sample *p, float k)
{
    p->x *= k;
    p->y -= k;
    p->count += 70000;
    p->mask >>= 4;
}

struct sample table[3];

float mix(char c, float f, long l, int i) { return c + f * l - i; }

long pick(int which, long a, long b) { return which ? a : b; }

int main(void)
{
    struct sample s, t;
    struct sample *p = &table[1];
    int i;
    init_io();
    s = make('A', 1.5, -2, 0.25);
    expect(s.tag, 'A', 1);
    expect_f(s.x, 0x3FC0, 0, 2);
    expect_l(s.count, 0xFFFF, 0xFFFE, 3);
    expect_l(s.mask, 0xF0F0, 0xF0F0, 4);
    expect_f(s.y, 0x3E80, 0, 5);
    expect_f(sum(s), 0xBE80, 0, 6);            /* -0.25 */
    t = s;
    scale(&t, 2.0);
    expect_f(t.x, 0x4040, 0, 10);
    expect_f(t.y, 0xBFE0, 0, 11);              /* -1.75 */
    expect_l(t.count, 0x0001, 0x116E, 12);     /* 69998 */
    expect_l(t.mask, 0x0F0F, 0x0F0F, 13);
    expect_f(s.x, 0x3FC0, 0, 14);              /* the copy is apart */
    for (i = 0; i < 3; ++i)
        table[i] = make('a' + i, (float)i, i * 100000L, (float)-i);
    expect(p->tag, 'b', 20);
    expect_l(p->count, 0x0001, 0x86A0, 21);
    expect_l(table[2].count, 0x0003, 0x0D40, 22);
    expect_f(table[2].y, 0xC000, 0, 23);
    expect_f(sum(table[2]), 0x4843, 0x5000, 24); /* 200000 */
    p[1].x += p->x;
    expect_f(table[2].x, 0x4040, 0, 25);
    ++p->count;
    p->count++;
    expect_l(table[1].count, 0x0001, 0x86A2, 26);
    expect_f(mix('d', 0.5, 100000, 50), 0x4743, 0x8200, 30);   /* 50050 */
    expect_l(pick(1, -5, 7), 0xFFFF, 0xFFFB, 31);
    expect_l(pick(0, -5, 0x12345), 0x0001, 0x2345, 32);
    return finish();
}
