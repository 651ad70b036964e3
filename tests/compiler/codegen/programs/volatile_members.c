/* Volatile members, bit fields, elements and pointers: products and
   shifts by constants, steps, assignment operators and bit-field stores
   each read a volatile object once and write it once, and still compute
   what C says; a volatile member of a local structure is read again after
   a store. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct sv { int a; volatile int v; char pad; volatile char c; volatile long l; volatile float f; };
struct bf { volatile unsigned lo : 3, mid : 5, hi : 8; };
struct bc { volatile unsigned char x : 2, y : 4; };
struct bl { volatile unsigned long f : 5, g : 20, h : 7; };
struct regs { unsigned char ctrl, data; };
union vu { int i; volatile unsigned char b[2]; };

struct sv gs, gt;
struct bf gb;
struct bc gc;
struct bl gl;
struct regs chip;
union vu gu;
volatile int va[3];
long sink;

static int products(struct sv *p)
{
    int r = 0;
    gs.v = 9;
    p->v = -3;
    if (gs.v * 7 != 63 || gs.v * 10 != 90 || p->v * 7 != -21 || va[1] * 7 != 35) r |= 1;
    gs.v *= 3;
    p->v *= 10;
    if (gs.v != 27 || p->v != -30) r |= 2;
    return r;
}

static int steps(struct sv *p)
{
    int r = 0;
    gs.c = 5;
    gs.c += 3;
    gs.c += 0;
    if (gs.c != 8) r |= 1;
    gs.c <<= 3;
    if (gs.c != 64) r |= 2;
    p->c = 1;
    p->c += 4;
    p->c <<= 2;
    p->c -= 2;
    if (p->c != 18 || p->c++ != 18 || gs.c-- != 64 || p->c != 19 || gs.c != 63) r |= 4;
    gs.f = 1.5;
    gs.f++;
    if (gs.f != 2.5 || gs.f-- != 2.5 || gs.f != 1.5) r |= 8;
    gu.i = 0x0102;
    gu.b[1] <<= 2;
    gu.b[0] += 3;
    if (gu.i != 0x0408) r |= 16;
    return r;
}

static int longs(void)
{
    int r = 0;
    gs.l = 0x12345678L;
    sink = gs.l;
    if (sink != 0x12345678L || (int)gs.l != 0x5678) r |= 1;
    gs.l = 0x1234FFFFL;
    gs.l++;
    if (gs.l != 0x12350000L) r |= 2;
    return r;
}

static int fields(int x, long y)
{
    int r = 0;
    gb.lo = 5;
    gb.mid = x;
    gb.hi = 0xA5;
    if (gb.lo != 5 || gb.mid != 17 || gb.hi != 0xA5) r |= 1;
    gb.mid += x;
    if (gb.mid != 2 || gb.lo != 5 || gb.hi != 0xA5) r |= 2;
    if (gb.mid++ != 2 || gb.mid != 3 || (gb.lo *= 3) != 7 || gb.hi != 0xA5) r |= 4;
    gb.hi >>= 4;
    gb.mid ^= 0x1F;
    if (gb.hi != 0x0A || gb.mid != 28 || gb.lo != 7) r |= 8;
    gc.x = 3;
    gc.y = 9;
    gc.y -= 10;
    if (gc.x != 3 || gc.y != 15) r |= 16;
    gl.f = 21;
    gl.g = y;
    gl.h = 100;
    if (gl.f != 21 || gl.g != 0x54321L || gl.h != 100) r |= 32;
    gl.g += 3;
    gl.f |= 10;
    if (gl.f != 31 || gl.g != 0x54324L || gl.h != 100 || gl.g-- != 0x54324L || gl.g != 0x54323L) r |= 64;
    return r;
}

static int local_member(void)
{
    struct sv s;
    int x;
    s.v = 5;
    x = s.v;
    s.c = 7;
    s.c += 2;
    return x * 10 + s.c;
}

static int walk(const char *q)
{
    const char *volatile p = q;
    int n = 0;
    while (*p++)
        n++;
    return n * 10 + (int)(p - q);
}

int main(void)
{
    init_io();
    va[1] = 5;
    expect(products(&gt), 0, 1);
    expect(steps(&gt), 0, 2);
    expect(longs(), 0, 3);
    expect(fields(17, 0x54321L), 0, 4);
    expect(local_member(), 59, 5);
    expect(walk("abc"), 34, 6);
    ((volatile struct regs *)&chip)->ctrl = 3;
    ((volatile struct regs *)&chip)->ctrl += 2;
    ((volatile struct regs *)&chip)->data = 4;
    expect(((volatile struct regs *)&chip)->data * 10 + chip.ctrl, 45, 7);
    return finish();
}
