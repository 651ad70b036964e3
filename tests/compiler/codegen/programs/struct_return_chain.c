/* Structure results passed straight on as arguments and returned again. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct pair { int a, b; };
struct pair mk(int a, int b) { struct pair p; p.a = a; p.b = b; return p; }
struct pair swapped(struct pair p) { return mk(p.b, p.a); }
struct pair add(struct pair x, struct pair y) { return mk(x.a + y.a, x.b + y.b); }

int main(void)
{
    struct pair p;
    init_io();
    p = swapped(mk(1, 2));
    expect(p.a * 10 + p.b, 21, 1);
    p = add(swapped(p), mk(10, 20));
    expect(p.a, 11, 2);
    expect(p.b, 22, 3);
    expect(add(mk(1, 1), add(mk(2, 2), mk(3, 3))).b, 6, 4);
    return finish();
}
