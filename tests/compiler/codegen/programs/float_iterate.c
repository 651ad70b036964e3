/* Float loops whose every step is rounded: Newton's square root, the
   harmonic sum, the series for e, repeated sums of 0.1 and repeated
   products; the bits are those of single precision rounded at each step. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

float newton(float a, int n)
{
    float x = a;
    while (n--)
        x = (x + a / x) / 2;
    return x;
}

int main(void)
{
    float s = 0, t = 1;
    double d;
    int k;
    init_io();
    expect_f(newton(2.0, 6), 0x3FB5, 0x04F3, 1);
    expect_f(newton(10.0, 8), 0x404A, 0x62C2, 2);
    for (k = 1; k <= 100; ++k)
        s += 1.0 / k;
    expect_f(s, 0x40A5, 0xFF00, 3);
    s = 1;
    for (k = 1; k < 12; ++k) {
        t /= k;
        s += t;
    }
    expect_f(s, 0x402D, 0xF855, 4);
    d = 0;
    for (k = 0; k < 10; ++k)
        d += 0.1;
    expect_f(d, 0x3F80, 0x0001, 5);
    expect(d == 1.0, 0, 6);
    s = 1;
    for (k = 1; k <= 10; ++k)
        s *= 1.5;
    expect_f(s, 0x4266, 0xA900, 7);
    return finish();
}
