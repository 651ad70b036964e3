/* Arrays indexed by long and unsigned long values and pointers moved by
   long offsets: the offset is scaled by the element size, and a negative
   long offset moves backwards. */
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

long la[5] = {10, 20, 30, 40, 50};
float fa[4] = {0.5, 1.5, 2.5, 3.5};
char text[] = "abcdef";

int main(void)
{
    long i = 3;
    unsigned long u = 1;
    long back = -2;
    long *p = &la[4];
    float *q = fa;
    init_io();
    expect_l(la[i], 0, 40, 1);
    expect_l(la[u], 0, 20, 2);
    expect_l(p[back], 0, 30, 3);
    expect_l(*(p + back), 0, 30, 4);
    expect_f(q[i], 0x4060, 0, 5);
    expect_f(*(q + u + 1), 0x4020, 0, 6);
    expect(text[i + 2], 'f', 7);
    expect(*(text + u), 'b', 8);
    p -= i;
    expect_l(*p, 0, 20, 9);
    p += u;
    expect_l(*p, 0, 30, 10);
    la[i - 1] += la[i + 1];
    expect_l(la[2], 0, 80, 11);
    return finish();
}
