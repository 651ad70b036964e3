/* Recursive functions on long and float values: results carried back
   through several frames, long arguments changed on the way down, and
   mutual recursion. */
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

long ackermann(long m, long n)
{
    if (m == 0)
        return n + 1;
    if (n == 0)
        return ackermann(m - 1, 1);
    return ackermann(m - 1, ackermann(m, n - 1));
}

unsigned long lpow(unsigned long b, int e) { return e ? b * lpow(b, e - 1) : 1; }

long tri(long n) { return n ? n + tri(n - 1) : 0; }

float odd_f(int n);
float even_f(int n) { return n == 0 ? 1.0 : odd_f(n - 1) * 2; }
float odd_f(int n) { return n == 0 ? 0.5 : even_f(n - 1) + 0.25; }

long binom(int n, int k)
{
    if (k == 0 || k == n)
        return 1;
    return binom(n - 1, k - 1) + binom(n - 1, k);
}

int main(void)
{
    init_io();
    expect_l(ackermann(2, 3), 0, 9, 1);
    expect_l(ackermann(3, 2), 0, 29, 2);
    expect_l(lpow(3, 20), 0xCFD4, 0x1B91, 3);
    expect_l(lpow(2, 32), 0, 0, 4);
    expect_l(tri(200), 0x0000, 0x4E84, 5);
    expect_f(even_f(4), 0x40B0, 0, 6);
    expect_f(odd_f(3), 0x4030, 0, 7);
    expect_l(binom(16, 8), 0x0000, 0x3246, 8);
    return finish();
}
