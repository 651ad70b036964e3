/* Nested structures, arrays of structures, structure copies through
   pointers and structure results stored into array elements. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct inner { char c; int v; };
struct outer { int id; struct inner in; struct inner list[3]; };

struct inner mk(char c, int v) { struct inner r; r.c = c; r.v = v; return r; }
int weigh(struct inner x) { return x.c + x.v; }

struct outer o1, o2;

int main(void)
{
    struct outer *p = &o1, *q = &o2;
    struct inner arr[4];
    int i;
    init_io();
    p->id = 1;
    p->in = mk('a', 100);
    for (i = 0; i < 3; i++)
        p->list[i] = mk('0' + i, i * 10);
    *q = *p;
    expect(q->in.v, 100, 1);
    expect(q->list[2].c, '2', 2);
    expect(q->list[1].v, 10, 3);
    q->list[1] = q->in;
    expect(o2.list[1].v, 100, 4);
    expect(o1.list[1].v, 10, 5);
    for (i = 0; i < 4; i++)
        arr[i] = mk(i, i * i);
    expect(arr[3].v, 9, 6);
    expect(weigh(arr[2]), 6, 7);
    expect(weigh(*&p->in), 197, 8);
    expect(weigh(mk(1, 2)), 3, 9);
    expect(mk(5, 6).c, 5, 10);
    return finish();
}
