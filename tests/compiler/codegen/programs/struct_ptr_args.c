/* Structures passed by address and changed by the callee; a structure
   argument is a copy the callee may change freely. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct acc { int total; int count; };
void add(struct acc *a, int v) { a->total += v; a->count++; }
int spoil(struct acc a) { a.total = 0; a.count = -1; return a.count; }

int main(void)
{
    struct acc a;
    int i;
    init_io();
    a.total = 0;
    a.count = 0;
    for (i = 1; i <= 10; i++)
        add(&a, i);
    expect(a.total, 55, 1);
    expect(a.count, 10, 2);
    expect(spoil(a), -1, 3);
    expect(a.total, 55, 4);
    return finish();
}
