/* __pascal functions called through pointers and with structure results. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int __pascal diff(int a, int b) { return a - b; }
int plain_diff(int a, int b) { return a - b; }
int main(void)
{
    int (*pf)(int, int);
    init_io();
    expect(diff(10, 3), 7, 1);
    pf = plain_diff;
    expect(pf(10, 3), 7, 2);
    expect(diff(plain_diff(1, 2), diff(3, 4)), 0, 3);
    return finish();
}
