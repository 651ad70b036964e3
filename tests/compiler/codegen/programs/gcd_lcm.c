/* Greatest common divisor by subtraction and least common multiple. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int gcd(int a, int b) { while (a != b) if (a > b) a -= b; else b -= a; return a; }
int lcm(int a, int b) { return a / gcd(a, b) * b; }
int main(void)
{
    init_io();
    expect(gcd(12, 18), 6, 1);
    expect(gcd(17, 5), 1, 2);
    expect(lcm(4, 6), 12, 3);
    expect(lcm(21, 6), 42, 4);
    return finish();
}
