/* Integer square roots by Newton's method in unsigned arithmetic. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
unsigned isqrt(unsigned n)
{
    unsigned x = n, y;
    if (n < 2) return n;
    y = (x + 1) / 2;
    while (y < x) {
        x = y;
        y = (x + n / x) / 2;
    }
    return x;
}
int main(void)
{
    init_io();
    expect(isqrt(0), 0, 1);
    expect(isqrt(15), 3, 2);
    expect(isqrt(16), 4, 3);
    expect(isqrt(10000), 100, 4);
    expect(isqrt(65025U), 255, 5);
    expect(isqrt(65024U), 254, 6);
    return finish();
}
