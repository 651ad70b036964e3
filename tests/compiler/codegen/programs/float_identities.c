/* Identities that exact IEEE single arithmetic keeps for every finite
   operand, checked over a grid of values of both signs and far-apart
   magnitudes: commutation, negation, the neutral elements, x - x, and
   the order of compares. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

float vals[8] = {0.0, 1.0, -1.0, 0.1, -3.75, 1e20, -1e-20, 123456.789};

int main(void)
{
    int i, j, bad = 0;
    float a, b, minus_a;
    init_io();
    for (i = 0; i < 8; ++i) {
        a = vals[i];
        minus_a = -a;
        if (a * 1 != a || a + 0 != a || a / 1 != a || a - a != 0)
            ++bad;
        if (-minus_a != a || a + minus_a != 0)
            ++bad;
        if (a * -1 != minus_a || a * 2 != a + a)
            ++bad;
        for (j = 0; j < 8; ++j) {
            b = vals[j];
            if (a + b != b + a || a * b != b * a)
                ++bad;
            if (a - b != -(b - a))
                ++bad;
            if ((a < b) + (a > b) + (a == b) != 1)
                ++bad;
            if ((a < b) != (b > a) || (a <= b) != !(a > b))
                ++bad;
        }
    }
    expect(bad, 0, 1);
    return finish();
}
