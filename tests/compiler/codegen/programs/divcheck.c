/* Division and remainder over a range of signed and unsigned operands,
   checked by the identity q * d + r == n with |r| < |d|. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    int n, d, q, r, bad = 0;
    unsigned un, ud, uq, ur;
    init_io();
    for (n = -300; n <= 300; n += 37)
        for (d = -17; d <= 17; d += 3) {
            if (d == 0) continue;
            q = n / d;
            r = n % d;
            if (q * d + r != n) bad++;
            if (r != 0 && (r < 0) != (n < 0)) bad++;
            if ((r < 0 ? -r : r) >= (d < 0 ? -d : d)) bad++;
        }
    expect(bad, 0, 1);
    for (un = 1; un < 60000U; un += 3331)
        for (ud = 1; ud < 600; ud += 77) {
            uq = un / ud;
            ur = un % ud;
            if (uq * ud + ur != un || ur >= ud) bad++;
        }
    expect(bad, 0, 2);
    return finish();
}
