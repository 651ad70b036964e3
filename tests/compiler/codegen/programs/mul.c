/* Multiplication: 16-bit products wrap, 8-bit unsigned products use MUL. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    int a = 300, b = -7, v;
    unsigned u = 1000;
    unsigned char x = 15, y = 17;
    char c = -3, d = 5;
    init_io();
    expect(a * b, -2100, 1);
    expect(a * a, 24464, 2);
    u = u * 70;
    expect(u, 4464, 3);
    x = x * y;
    v = x;
    expect(v, 255, 4);
    x = 16;
    x = x * y;
    v = x;
    expect(v, 16, 5);
    c = c * d;
    v = c;
    expect(v, -15, 6);
    v = 3;
    v *= -11;
    expect(v, -33, 7);
    v = -1;
    expect(v * v, 1, 8);
    expect(b * 0, 0, 9);
    return finish();
}
