/* Constant terms gathered out of sums, differences and products of 32-bit
   values whose totals pass 32 bits wrap as the target's arithmetic does;
   a 16-bit sum widened before the product keeps its own 16-bit wrap. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

static unsigned long times_sum(unsigned *q) { return 2395256493UL * (27128u + *q); }

static unsigned long sum_of_difference(unsigned long a) { return (839418423UL - a) + 1853938664UL; }

static unsigned long product_of_sum(unsigned long x) { return (x + 1848746159UL) * 24293u; }

static unsigned long two_differences(unsigned long x, unsigned long z)
{
    return (x - 1185670543UL) - (1021632811UL - z);
}

int main(void)
{
    unsigned q = 40000u;
    init_io();
    expect(times_sum(&q) == 3612345304UL, 1, 1);
    expect(sum_of_difference(5UL) == 2693357082UL, 1, 2);
    expect(product_of_sum(1000UL) == 3436686611UL, 1, 3);
    expect(two_differences(7UL, 9UL) == 2087663958UL, 1, 4);
    return finish();
}
