/* An automatic structure or union initialised from an expression of its
   type is a copy, as an assignment would make. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct S { int a; char c; long l; };
union U { int i; char b[2]; };

struct S make(int k)
{
    struct S r;
    r.a = k;
    r.c = (char)(k + 1);
    r.l = 100000L + k;
    return r;
}

int use(struct S *p, union U *q)
{
    struct S local = *p;
    struct S t = make(5), u = local;
    union U w = *q;
    p->a = 0;
    return local.a + t.a * 10 + t.c * 100 + u.c + w.i + (t.l == 100005L);
}

int main(void)
{
    struct S s;
    union U v;
    init_io();
    s.a = 3;
    s.c = 4;
    s.l = 1;
    v.i = 1000;
    expect(use(&s, &v), 3 + 50 + 600 + 4 + 1000 + 1, 1);
    expect(s.a, 0, 2);
    return finish();
}
