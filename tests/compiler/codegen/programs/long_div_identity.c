/* Signed and unsigned 32-bit division over a grid of dividends and
   divisors of every sign and size: the quotient times the divisor plus the
   remainder gives the dividend back, the remainder is smaller than the
   divisor and takes the dividend's sign, and the quotient truncates. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

long sv[8] = {0, 1, -1, 7, -7, 65536, -100001, 0x7FFFFFFF};
long sd[6] = {1, -1, 3, -65537, 1000, 0x40000000};
unsigned long uv[5] = {0, 5, 0xFFFF, 0x10000, 0xFFFFFFFF};
unsigned long ud[4] = {1, 7, 0x10001, 0x80000000};

long labs_(long v) { return v < 0 ? -v : v; }

int main(void)
{
    int i, j, bad = 0, ubad = 0;
    long a, b, q, r;
    unsigned long ua, ub, uq, ur;
    init_io();
    for (i = 0; i < 8; ++i)
        for (j = 0; j < 6; ++j) {
            a = sv[i];
            b = sd[j];
            q = a / b;
            r = a % b;
            if (q * b + r != a)
                ++bad;
            if (labs_(r) >= labs_(b))
                ++bad;
            if (r != 0 && (r < 0) != (a < 0))
                ++bad;
            if (labs_(q) * labs_(b) > labs_(a))
                ++bad;
        }
    expect(bad, 0, 1);
    for (i = 0; i < 5; ++i)
        for (j = 0; j < 4; ++j) {
            ua = uv[i];
            ub = ud[j];
            uq = ua / ub;
            ur = ua % ub;
            if (uq * ub + ur != ua || ur >= ub)
                ++ubad;
        }
    expect(ubad, 0, 2);
    expect(sv[6] / sd[2] == -33333, 1, 3);
    expect((int)(sv[6] % sd[2]), -2, 4);
    expect((int)(uv[4] / ud[3]), 1, 5);
    return finish();
}
