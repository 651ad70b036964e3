/* Initialised global and static long and float objects, static locals that
   keep their value between calls, and constant expressions folded into
   the initial values. */
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

long g_neg = -5;
unsigned long g_big = 3000000000UL;
long g_expr = 0x10000L * 3 + 7;
float g_f = -0.375;
double g_d = 1e-3;
float g_ft[] = {1.0, -2.0, 0.5e1};
long g_lt[3] = {-1};
static unsigned long g_shift = 1UL << 31 | 1;

long counter(void)
{
    static long n = 0xFFFE;
    return ++n;
}

float accumulate(float v)
{
    static float sum;
    sum += v;
    return sum;
}

int main(void)
{
    static long local_l = -100000;
    init_io();
    expect_l(g_neg, 0xFFFF, 0xFFFB, 1);
    expect_l(g_big, 0xB2D0, 0x5E00, 2);
    expect_l(g_expr, 0x0003, 0x0007, 3);
    expect_f(g_f, 0xBEC0, 0, 4);
    expect_f(g_d, 0x3A83, 0x126F, 5);
    expect_f(g_ft[1], 0xC000, 0, 6);
    expect_f(g_ft[2], 0x40A0, 0, 7);
    expect(sizeof g_ft, 12, 8);
    expect_l(g_lt[0], 0xFFFF, 0xFFFF, 9);
    expect_l(g_lt[2], 0, 0, 10);
    expect_l(g_shift, 0x8000, 0x0001, 11);
    expect_l(local_l, 0xFFFE, 0x7960, 12);
    expect_l(counter(), 0, 0xFFFF, 13);
    expect_l(counter(), 1, 0, 14);
    expect_l(counter(), 1, 1, 15);
    accumulate(0.25);
    accumulate(0.5);
    expect_f(accumulate(-2.0), 0xBFA0, 0, 16);
    local_l /= 4;
    expect_l(local_l, 0xFFFF, 0x9E58, 17);
    return finish();
}
