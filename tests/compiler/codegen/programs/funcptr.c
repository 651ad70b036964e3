/* Function pointers: in variables, arrays and structures, as arguments. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int twice(int v) { return 2 * v; }
int neg(int v) { return -v; }
int apply(int (*f)(int), int v) { return f(v); }

int (*ops[2])(int);
struct holder { int bias; int (*fn)(int); };

int main(void)
{
    int (*f)(int);
    struct holder h;
    int i, s;
    init_io();
    f = twice;
    expect(f(21), 42, 1);
    expect((*f)(5), 10, 2);
    expect(apply(neg, 9), -9, 3);
    ops[0] = twice;
    ops[1] = neg;
    s = 0;
    for (i = 0; i < 2; i++)
        s += ops[i](10);
    expect(s, 10, 4);
    h.bias = 1;
    h.fn = neg;
    expect(h.fn(h.bias) + 5, 4, 5);
    f = 0;
    expect(f == 0, 1, 6);
    return finish();
}
