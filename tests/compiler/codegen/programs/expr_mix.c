/* Longer expressions mixing operators, where partial results wait on the
   stack. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int f(int v) { return v + 1; }

int main(void)
{
    int a = 3, b = 4, c = 5, d;
    init_io();
    d = (a + b) * (c - a) - (b * c) / (a - 1) + f(a) * f(b) % 7;
    expect(d, 14 - 10 + 20 % 7, 1);
    d = ((a << 2) | (b >> 1)) ^ ((c & 6) + (a | 8));
    expect(d, (12 | 2) ^ (4 + 11), 2);
    d = a - (b - (c - (a - (b - c))));
    expect(d, 3 - (4 - (5 - (3 - (4 - 5)))), 3);
    d = f(f(a) + f(b)) - f(a + b) * 2;
    expect(d, 10 - 16, 4);
    d = -a * -b + ~c;
    expect(d, 12 - 6, 5);
    return finish();
}
