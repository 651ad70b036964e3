/* Loops counting down to zero with pre- and post-decrement. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int main(void)
{
    int n = 5, s = 0;
    unsigned u = 3;
    init_io();
    while (n-- > 0)
        s += n;
    expect(s, 10, 1);
    expect(n, -1, 2);
    s = 0;
    while (--u)
        s++;
    expect(s, 2, 3);
    for (n = 3; n >= 0; --n)
        s += n;
    expect(s, 8, 4);
    return finish();
}
