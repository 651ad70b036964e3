/* Longs and floats inside structures, passed and returned by functions,
   and a switch over long values. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct rec {
    char tag;
    long count;
    float scale;
    unsigned long mask;
};

struct rec grec;

int kind(long v)
{
    switch (v) {
    case 0: return 1;
    case 0x10000: return 2;
    case -1: return 3;
    case 0x12345678: return 4;
    default: return 5;
    }
}

long total(struct rec *r, long extra) { return r->count + extra; }

float scaled(struct rec r, float f) { return r.scale * f; }

struct rec make(long n)
{
    struct rec r;
    r.tag = 'r';
    r.count = n;
    r.scale = 0.5;
    r.mask = ~0;
    return r;
}

int main(void)
{
    struct rec r;
    struct rec *p = &r;
    init_io();
    expect(kind(0), 1, 1);
    expect(kind(0x10000), 2, 2);
    expect(kind(0xFFFFL), 5, 3);
    expect(kind(-1), 3, 4);
    expect(kind(0x12345678), 4, 5);
    expect(kind(0x5678), 5, 6);
    expect(kind(0x12340000), 5, 7);
    p->tag = 1;
    p->count = 70000;
    p->scale = 4;
    p->mask = 0xFFFF0000;
    p->count += p->count;
    expect((int)(total(p, 1) >> 16), 2, 10);
    expect((int)total(p, 1), 0x22E1, 11);      /* 140001 */
    expect((int)scaled(r, 2.5), 10, 12);
    grec = make(-5);
    expect(grec.tag, 'r', 13);
    expect((int)grec.count, -5, 14);
    expect(grec.count < 0, 1, 15);
    expect(grec.scale == 0.5, 1, 16);
    expect(grec.mask == 0xFFFFFFFF, 1, 17);
    expect((p->mask & 0xFF000000) != 0, 1, 18);
    p->mask >>= 31;
    expect((int)p->mask, 1, 19);
    return finish();
}
