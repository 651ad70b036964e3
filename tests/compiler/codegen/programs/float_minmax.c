/* Small float helpers with several return paths: absolute value, minimum,
   maximum and clamping, with negative zero and infinite operands. */
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

float fabs_(float v) { return v < 0 ? -v : v; }
float fmin_(float a, float b) { if (a < b) return a; return b; }
float fmax_(float a, float b) { return a > b ? a : b; }
float clamp(float v, float lo, float hi)
{
    if (v < lo)
        return lo;
    else if (v > hi)
        return hi;
    return v;
}
long lclamp(long v, long lo, long hi) { return v < lo ? lo : v > hi ? hi : v; }

int main(void)
{
    float inf = 1e38;
    init_io();
    inf *= inf;
    expect_f(fabs_(-3.5), 0x4060, 0, 1);
    expect_f(fabs_(3.5), 0x4060, 0, 2);
    expect_f(fabs_(-inf), 0x7F80, 0, 3);
    expect_f(fmin_(-1.0, 2.0), 0xBF80, 0, 4);
    expect_f(fmin_(2.0, -1.0), 0xBF80, 0, 5);
    expect_f(fmax_(-inf, -1e30), 0xF149, 0xF2CA, 6);
    expect_f(fmax_(1e-30, 0.0), 0x0DA2, 0x4260, 7);
    expect_f(clamp(5.0, 0.0, 1.0), 0x3F80, 0, 8);
    expect_f(clamp(-5.0, 0.0, 1.0), 0, 0, 9);
    expect_f(clamp(0.75, 0.0, 1.0), 0x3F40, 0, 10);
    expect_f(clamp(inf, -2.0, 2.0), 0x4000, 0, 11);
    expect_l(lclamp(100000, -5, 70000), 0x0001, 0x1170, 12);
    expect_l(lclamp(-100000, -5, 70000), 0xFFFF, 0xFFFB, 13);
    expect_l(lclamp(65536, -5, 70000), 0x0001, 0x0000, 14);
    return finish();
}
