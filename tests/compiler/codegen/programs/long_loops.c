/* Loops steered by long and unsigned long counters: do-while, break and
   continue, steps that cross the word boundary, nested loops with a long
   accumulator, and a counter that wraps. */
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

int main(void)
{
    long i, acc;
    unsigned long u;
    int n, j;
    init_io();
    n = 0;
    i = 0xFFF0;
    do {
        i += 3;
        ++n;
    } while (i < 0x10005);
    expect(n, 7, 1);
    expect_l(i, 0x0001, 0x0005, 2);
    acc = 0;
    for (i = -5; i <= 5; ++i) {
        if (i == 0)
            continue;
        if (i == 4)
            break;
        acc += i * 0x10000;
    }
    expect_l(acc, 0xFFF7, 0x0000, 3);      /* (-5-4-3-2-1+1+2+3) * 65536 */
    acc = 0;
    for (j = 0; j < 10; ++j)
        for (i = 0; i < 1000; i += 100)
            acc += i;
    expect_l(acc, 0x0000, 0xAFC8, 4);      /* 10 * 4500 */
    n = 0;
    u = 0xFFFFFFFD;
    while (++u != 2)
        ++n;
    expect(n, 4, 5);
    n = 0;
    for (u = 1; u; u <<= 1)
        ++n;
    expect(n, 32, 6);
    n = 0;
    for (i = 1; i < 0x40000000; i += i)
        ++n;
    expect(n, 30, 7);
    return finish();
}
