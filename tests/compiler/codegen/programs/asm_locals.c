/* __asm operands naming locals and parameters: their stack offsets count
   the whole frame, temporaries made by later statements included. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct cell { long v; };

int copy_through_asm(int a, long *p, struct cell *c)
{
    int in = a + 1;
    int out = 0;
    __asm("\tLDD\t%a\n\tSTD\t%a", in, out);
    /* a long step through a computed address needs frame temporaries */
    (*p)++;
    c[a - 40].v += 3;
    (p + 0)[0]--;
    return out;
}

int param_through_asm(int a, int b)
{
    int r;
    long t = 1;
    t <<= b;
    __asm("\tLDD\t%a\n\tADDD\t%a\n\tSTD\t%a", a, b, r);
    (&t)[0]++;
    return r + (int)t;
}

int main(void)
{
    long x = 10;
    struct cell cs[3];
    init_io();
    cs[2].v = 7;
    expect(copy_through_asm(42, &x, cs), 43, 1);
    expect((int)x, 10, 2);
    expect((int)cs[2].v, 10, 3);
    expect(param_through_asm(100, 4), 100 + 4 + 17, 4);
    return finish();
}
