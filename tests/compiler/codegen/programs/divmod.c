/* Signed and unsigned division and remainder at 16 and 8 bits: C
   truncates toward zero and the remainder takes the dividend's sign. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int q(int a, int b) { return a / b; }
int r(int a, int b) { return a % b; }

int main(void)
{
    unsigned ua, ub;
    char ca, cb;
    unsigned char xa, xb;
    int v;
    init_io();
    expect(q(7, 2), 3, 1);
    expect(q(-7, 2), -3, 2);
    expect(q(7, -2), -3, 3);
    expect(q(-7, -2), 3, 4);
    expect(r(7, 2), 1, 5);
    expect(r(-7, 2), -1, 6);
    expect(r(7, -2), 1, 7);
    expect(r(-7, -2), -1, 8);
    expect(q(32767, 1), 32767, 9);
    expect(q(-32767, 10), -3276, 10);
    ua = 0xFFFF;
    ub = 10;
    v = ua / ub;
    expect(v, 6553, 11);
    v = ua % ub;
    expect(v, 5, 12);
    ua = 40000;
    ub = 3;
    v = ua / ub;
    expect(v, 13333, 13);
    ca = -100;
    cb = 7;
    ca = ca / cb;
    v = ca;
    expect(v, -14, 14);
    ca = -100;
    ca = ca % cb;
    v = ca;
    expect(v, -2, 15);
    xa = 250;
    xb = 7;
    xa = xa / xb;
    v = xa;
    expect(v, 35, 16);
    xa = 250;
    xa %= xb;
    v = xa;
    expect(v, 5, 17);
    v = 1000;
    v /= 7;
    expect(v, 142, 18);
    v %= 10;
    expect(v, 2, 19);
    return finish();
}
