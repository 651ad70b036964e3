/* Calls nested in arguments: every pending argument stays on the stack
   while the inner calls run. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int inc(int v) { return v + 1; }
int sub(int a, int b) { return a - b; }
int mix(int a, char b, int c, char d) { return a * 1000 + b * 100 + c * 10 + d; }

int main(void)
{
    int x = 3;
    init_io();
    expect(sub(inc(inc(x)), sub(10, inc(1))), -3, 1);
    expect(mix(inc(0), 2, sub(5, 2), inc(3)), 1234, 2);
    expect(sub(mix(0, 0, 0, 1), mix(0, 0, 0, 2)), -1, 3);
    expect(inc(sub(inc(x), inc(inc(x)))), 0, 4);
    return finish();
}
