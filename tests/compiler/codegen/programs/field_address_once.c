/* Bit-field stores, assignment operators and steps through addresses
   with side effects: the address is computed once, for full 32-bit
   fields, partial 32-bit fields and 8/16-bit fields alike. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct wide { unsigned long w : 32; };
struct part { unsigned long lo : 12; unsigned long hi : 20; };
struct narrow { unsigned a : 5; unsigned b : 11; };
struct small { unsigned char c : 3; unsigned char d : 5; };

struct wide wv[4];
struct part pv[4];
struct narrow nv[4];
struct small sv[4];
int calls;

struct wide *next_wide(struct wide *p) { ++calls; return p; }

void expect_l(unsigned long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)(got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

int main(void)
{
    struct wide *p = wv;
    struct part *q = pv;
    struct narrow *r = nv;
    struct small *s = sv;
    unsigned long v;
    init_io();

    p++->w = 0x12345678UL;
    expect(p - wv, 1, 1);
    expect_l(wv[0].w, 0x1234, 0x5678, 2);
    v = p++->w = 0xCAFEF00DUL;
    expect(p - wv, 2, 3);
    expect_l(v, 0xCAFE, 0xF00D, 4);
    expect_l(wv[1].w, 0xCAFE, 0xF00D, 5);
    --p;
    p++->w += 0x10000001UL;
    expect(p - wv, 2, 6);
    expect_l(wv[1].w, 0xDAFE, 0xF00E, 7);
    p = wv;
    v = p++->w++;
    expect(p - wv, 1, 8);
    expect_l(v, 0x1234, 0x5678, 9);
    expect_l(wv[0].w, 0x1234, 0x5679, 10);
    next_wide(wv + 3)->w = 77;
    expect(calls, 1, 11);
    expect_l(wv[3].w, 0, 77, 12);
    next_wide(wv + 3)->w |= 0x80000000UL;
    expect(calls, 2, 13);
    expect_l(wv[3].w, 0x8000, 77, 14);

    q++->hi = 0xABCDEUL;
    expect(q - pv, 1, 20);
    expect_l(pv[0].hi, 0xA, 0xBCDE, 21);
    expect((int)pv[0].lo, 0, 22);
    q = pv;
    q++->lo += 0xFFF;
    expect(q - pv, 1, 23);
    expect((int)pv[0].lo, 0xFFF, 24);
    expect_l(pv[0].hi, 0xA, 0xBCDE, 25);
    q = pv;
    v = q++->hi--;
    expect(q - pv, 1, 26);
    expect_l(v, 0xA, 0xBCDE, 27);
    expect_l(pv[0].hi, 0xA, 0xBCDD, 28);

    r++->b = 0x5AA;
    expect(r - nv, 1, 40);
    expect(nv[0].b, 0x5AA, 41);
    r = nv;
    r++->a += 7;
    expect(r - nv, 1, 42);
    expect(nv[0].a, 7, 43);
    expect(nv[0].b, 0x5AA, 44);
    r = nv;
    expect(r++->a++, 7, 45);
    expect(r - nv, 1, 46);
    expect(nv[0].a, 8, 47);

    s++->d = 21;
    expect(s - sv, 1, 60);
    s = sv;
    s++->c |= 5;
    expect(s - sv, 1, 61);
    expect(sv[0].c, 5, 62);
    expect(sv[0].d, 21, 63);
    s = sv;
    expect(s++->d--, 21, 64);
    expect(s - sv, 1, 65);
    expect(sv[0].d, 20, 66);
    return finish();
}
