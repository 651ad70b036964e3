/* Floating constants are singles from the start: a literal, an integer
   constant converted to float and each step of a folded expression round to
   single precision like the same values computed at run time, and negative
   zero keeps its sign. */
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
    /* beyond 2^24 a single holds every second or fourth integer */
    f = 33554435L;
    expect_f(f, 0x4C00, 0x0001, 4);
    expect_f((float)16777223L, 0x4B80, 0x0004, 5);
    expect_f(16777222.75, 0x4B80, 0x0003, 6);
    l = 16777217L;
    expect_f((float)l, 0x4B80, 0x0000, 7);
    /* the literals are already singles, so each difference is exact */
    expect_f(16777216.75 - 16777216.0, 0, 0, 8);
    expect_f(1.0000000298 - 1.0, 0, 0, 9);
    expect_f(sub(16777216.75, 16777216.0), 0, 0, 11);
    f = 16777216.75;
    expect(f == 16777216.0, 1, 12);
    expect(16777216.75 == 16777216.0, 1, 13);
    /* halfway constants go to the even neighbour, as at run time */
    expect_f((float)16777217L, 0x4B80, 0x0000, 14);
    expect_f((float)16777219L, 0x4B80, 0x0002, 15);
    l = 16777219L;
    expect_f((float)l, 0x4B80, 0x0002, 16);
    expect_f(30.515625 * 1000000.0, 0x4BE8, 0xD0D4, 17);
    return finish();
}
