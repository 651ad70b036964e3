/* Bodies long enough that conditional branches must take their long
   forms, with and without the peephole passes. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int g1, g2, g3, g4;

void work(int n)
{
    if (n > 0) {
        g1 = g2 + g3 * 2 + g4 / 3;
        g2 = g1 - g3 + (g4 << 2) + n;
        g3 = g1 ^ g2 ^ g4 ^ 0x5A5A;
        g4 = (g1 & g2) | (g3 & 0x0F0F);
        g1 = g2 + g3 * 2 + g4 / 3;
        g2 = g1 - g3 + (g4 << 2) + n;
        g3 = g1 ^ g2 ^ g4 ^ 0x5A5A;
        g4 = (g1 & g2) | (g3 & 0x0F0F);
        g1 = g2 + g3 * 2 + g4 / 3;
        g2 = g1 - g3 + (g4 << 2) + n;
    } else {
        g1 = -1;
    }
}

int main(void)
{
    int i;
    init_io();
    work(0);
    expect(g1, -1, 1);
    g1 = g2 = g3 = g4 = 0;
    work(1);
    expect(g1 != 0, 1, 2);
    for (i = 0; i < 3; i++) {
        g1 = g2 + 1;
        g2 = g3 + 2;
        g3 = g4 + 3;
        g4 = g1 + g2 + g3;
        g1 = g2 * 3;
        g2 = g3 * 5;
        g3 = g4 * 7;
        g4 = g1 + g2 + g3;
        g1 = g2 * 3;
        g2 = g3 * 5;
        g3 = g4 * 7;
        g4 = g1 + g2 + g3;
    }
    expect(i, 3, 3);
    return finish();
}
