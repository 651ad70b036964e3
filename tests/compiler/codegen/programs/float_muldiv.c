/* Float products and quotients whose results round: thirds, sevenths,
   tenths, and products of values far apart in magnitude, each checked
   against single precision rounded to nearest. */
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

float q(float a, float b) { return a / b; }
float m(float a, float b) { return a * b; }

int main(void)
{
    float third;
    init_io();
    expect_f(q(2.0, 3.0), 0x3F2A, 0xAAAB, 1);
    third = q(1.0, 3.0);
    expect_f(third, 0x3EAA, 0xAAAB, 2);
    expect_f(third * 3, 0x3F80, 0, 3);
    expect_f(q(7.0, 0.1), 0x428C, 0, 4);
    expect_f(q(-1.0, 7.0), 0xBE12, 0x4925, 5);
    expect_f(m(123456.0, 0.001), 0x42F6, 0xE97A, 6);
    expect_f(q(100.0, 3.0), 0x4205, 0x5555, 7);
    expect_f(m(0.1, 0.1), 0x3C23, 0xD70B, 8);
    expect_f(m(1e20, 1e-20), 0x3F80, 0, 9);
    expect_f(m(-0.5, -0.5), 0x3E80, 0, 10);
    expect_f(q(-6.0, -1.5), 0x4080, 0, 11);
    expect_f(q(0.0, -5.0), 0x8000, 0, 12);
    expect_f(m(0.0, -5.0), 0x8000, 0, 13);
    return finish();
}
