/* Float compares against integer operands of every size (converted to
   float first), compares of values that differ only in the low word or
   in sign, infinities, and compares that steer loops and branches. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int gt(float a, float b) { return a > b; }
int le(double a, double b) { return a <= b; }

int main(void)
{
    float f = 2.5, g = -2.5, z = 0, nz;
    float near = 1.0000001;
    int i = 2;
    unsigned u = 65535;
    long l = 16777217;
    unsigned long ul = 0xFFFFFFFF;
    char c = -3;
    float sum;
    int n;
    init_io();
    expect(f > i, 1, 1);
    expect(f < 3, 1, 2);
    expect(g < c, 0, 3);
    expect(g > c, 1, 4);
    expect(u == 65535.0, 1, 5);
    expect(u < f, 0, 6);
    /* 16777217 becomes 16777216 in float */
    expect(l == 16777216.0, 1, 7);
    expect(ul == 4294967296.0, 1, 8);
    expect(near > 1, 1, 9);
    expect(near == 1, 0, 10);
    expect(gt(near, 1.0), 1, 11);
    expect(gt(1.0, near), 0, 12);
    expect(le(near, near), 1, 13);
    /* signs */
    expect(g < f, 1, 20);
    expect(gt(g, f), 0, 21);
    expect(gt(-1.0, -2.0), 1, 22);
    expect(gt(-2.0, -1.0), 0, 23);
    expect(le(-0.5, 0.5), 1, 24);
    nz = z * -1;
    expect(nz == z, 1, 25);
    expect(gt(z, nz), 0, 26);
    expect(le(z, nz), 1, 27);
    expect(gt(1e38 * 10, 1e38), 1, 28);
    expect(gt(-1e38, -1e38 * 10), 1, 29);
    /* loops and branches */
    n = 0;
    for (sum = 0; sum < 10; sum += 0.5)
        ++n;
    expect(n, 20, 30);
    n = 0;
    for (f = 1; f > 0.0005; f /= 10)
        ++n;
    expect(n, 4, 31);
    if (g)
        n = 7;
    expect(n, 7, 32);
    if (z)
        n = 8;
    expect(n, 7, 33);
    n = g >= -2.5 && g <= -2.5;
    expect(n, 1, 34);
    return finish();
}
