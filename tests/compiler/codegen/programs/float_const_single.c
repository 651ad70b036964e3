/* Floating constants are singles from the start: a literal, an integer
   constant converted to float and a folded expression round to nearest even
   like the same values computed at run time, and negative zero keeps its
   sign. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

float sub(float a, float b)
{
    return a - b;
}

int main(void)
{
    float f;
    long l;
    init_io();
    expect_f(-0.0, 0x8000, 0, 1);
    f = -0.0;
    expect_f(f, 0x8000, 0, 2);
    expect(f == 0.0, 1, 3);
    /* 2^24 + 1 and 2^24 + 5 lie halfway: the even neighbour wins */
    f = 16777217L;
    expect_f(f, 0x4B80, 0x0000, 4);
    expect_f((float)16777221L, 0x4B80, 0x0002, 5);
    expect_f(16777219.0, 0x4B80, 0x0002, 6);
    l = 16777217L;
    expect_f((float)l, 0x4B80, 0x0000, 7);
    /* 1 + 2^-24 is halfway between 1 and the next float */
    expect_f(1.0 + 5.9604644775390625e-08, 0x3F80, 0x0000, 8);
    expect_f(1.0 + 1.7881393432617188e-07, 0x3F80, 0x0002, 9);
    /* the literal is already 2^24, so the difference is zero */
    expect_f(16777217.0 - 16777216.0, 0, 0, 10);
    expect_f(sub(16777217.0, 16777216.0), 0, 0, 11);
    f = 16777217.0;
    expect(f == 16777216.0, 1, 12);
    expect(16777217.0 == 16777216.0, 1, 13);
    return finish();
}
