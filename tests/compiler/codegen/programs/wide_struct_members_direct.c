/* Members of structures returned by value read straight from the call,
   structures holding a union of long and float, and assignments between
   members of different kinds. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

union num { long l; float f; };
struct tagged { char kind; union num v; long extra; };

struct tagged make_l(long v) { struct tagged t; t.kind = 'l'; t.v.l = v; t.extra = -v; return t; }
struct tagged make_f(float v) { struct tagged t; t.kind = 'f'; t.v.f = v; t.extra = v; return t; }

float as_float(struct tagged t) { return t.kind == 'l' ? t.v.l : t.v.f; }

int main(void)
{
    struct tagged a;
    init_io();
    expect_l(make_l(0x12345).v.l, 0x0001, 0x2345, 1);
    expect_l(make_l(0x12345).extra, 0xFFFE, 0xDCBB, 2);
    expect_f(make_f(-2.5).v.f, 0xC020, 0, 3);
    expect_l(make_f(-2.5).extra, 0xFFFF, 0xFFFE, 4);
    expect(make_f(1.0).kind, 'f', 5);
    expect_f(as_float(make_l(-3)), 0xC040, 0, 6);
    expect_f(as_float(make_f(0.125)), 0x3E00, 0, 7);
    a = make_f(1.0);
    expect_l(a.v.l, 0x3F80, 0, 8);             /* the same bits seen as long */
    a.v.l = a.extra * 70000;
    expect_l(a.v.l, 0x0001, 0x1170, 9);
    a.extra = a.v.l;
    a.v.f = a.extra;
    expect_f(a.v.f, 0x4788, 0xB800, 10);       /* 70000 */
    return finish();
}
