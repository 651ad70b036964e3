/* Assignment operators on long and float objects whose address has a side
   effect: the address is worked out once, the operation and the store go
   to the same element. */
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

long la[4] = {10, 20, 30, 40};
float fa[3] = {1.0, 2.0, 3.0};
int calls;

long *next(long *p) { ++calls; return p + 1; }

int main(void)
{
    long *p = la;
    float *q = fa;
    int i = 0;
    init_io();
    *p++ += 5;
    expect_l(la[0], 0, 15, 1);
    expect(p - la, 1, 2);
    la[i++] *= 100000;
    expect_l(la[0], 0x0016, 0xE360, 3);
    expect(i, 1, 4);
    la[++i] -= 0x10000;
    expect_l(la[2], 0xFFFF, 0x001E, 5);
    *next(p) <<= 17;
    expect_l(la[2], 0x003C, 0x0000, 6);
    expect(calls, 1, 7);
    (*next(next(la)))++;
    expect_l(la[2], 0x003C, 0x0001, 8);
    expect(calls, 3, 9);
    *q++ += 0.5;
    *q++ *= 1.25;
    expect_f(fa[0], 0x3FC0, 0, 10);
    expect_f(fa[1], 0x4020, 0, 11);
    expect(q - fa, 2, 12);
    fa[--i] /= 4;
    expect(i, 1, 13);
    expect_f(fa[1], 0x3F20, 0, 14);
    q = fa;
    expect_f((*q++)--, 0x3FC0, 0, 15);
    expect_f(fa[0], 0x3F00, 0, 16);
    expect_f(*q, 0x3F20, 0, 17);
    return finish();
}
