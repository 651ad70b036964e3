/* Collatz sequence lengths in 16-bit unsigned arithmetic. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int steps(unsigned n)
{
    int k = 0;
    while (n != 1) {
        if (n & 1)
            n = 3 * n + 1;
        else
            n >>= 1;
        k++;
    }
    return k;
}
int main(void)
{
    init_io();
    expect(steps(1), 0, 1);
    expect(steps(6), 8, 2);
    expect(steps(27), 111, 3);
    expect(steps(97), 118, 4);
    return finish();
}
