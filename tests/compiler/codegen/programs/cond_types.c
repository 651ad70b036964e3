/* The conditional operator on char, pointer and structure values. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
struct p { int v; };
struct p one, two;
int main(void)
{
    int k = 1;
    char c;
    int *q;
    struct p r;
    int a = 3, b = 4;
    init_io();
    c = k ? 'x' : 'y';
    expect(c, 'x', 1);
    q = k > 1 ? &a : &b;
    expect(*q, 4, 2);
    one.v = 11;
    two.v = 22;
    r = k ? one : two;
    expect(r.v, 11, 3);
    r = !k ? one : two;
    expect(r.v, 22, 4);
    return finish();
}
