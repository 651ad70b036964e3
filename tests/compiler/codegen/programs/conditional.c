/* The conditional operator, the comma operator and logical values used
   as numbers, nested and with side effects. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int calls;
int count(int v) { calls++; return v; }
int max3(int a, int b, int c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }

int main(void)
{
    int a = 3, b = 0, v;
    char c;
    init_io();
    expect(max3(1, 9, 4), 9, 1);
    expect(max3(7, 2, 4), 7, 2);
    expect(max3(1, 2, 8), 8, 3);
    v = a ? count(10) : count(20);
    expect(v + calls, 11, 4);
    v = b ? count(10) : count(20);
    expect(v + calls, 22, 5);
    v = (a++, b++, a + b);
    expect(v, 5, 6);
    v = (a > 2) + (b > 2) + !b;
    expect(v, 1, 7);
    c = a == 4 ? 'y' : 'n';
    expect(c, 'y', 8);
    calls = 0;
    v = b && count(0) || count(1);
    expect(v, 1, 9);
    expect(calls, 2, 10);
    calls = 0;
    v = 0 && count(1);
    expect(v + calls, 0, 11);
    b ? count(1) : count(2);
    expect(calls, 1, 12);
    return finish();
}
