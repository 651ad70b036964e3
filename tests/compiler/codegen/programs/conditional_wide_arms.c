/* The conditional operator with arms of different kinds: long against
   float, unsigned long against int, char against long; the arms are
   brought to one type before either is taken. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)((unsigned long)got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

long pick_l(int k, long a, float b) { return k ? a : b; }
float pick_f(int k, long a, float b) { return k ? a : b; }
long widen(int k, char c, unsigned u) { return k ? c : u; }

int calls;
long counted(long v) { ++calls; return v; }

int main(void)
{
    long l = 100000L;
    unsigned long ul = 0xFFFFFFF0UL;
    float f = 2.5f;
    char c = -3;
    unsigned char uc = 200;
    int i = -1;
    unsigned u = 65535U;
    int k;
    long r;
    float g;
    init_io();

    for (k = 0; k < 2; ++k) {
        g = k ? l : f;                      /* float either way */
        expect(g == (k ? 100000.0f : 2.5f), 1, 1 + k);
        r = k ? f : l;                      /* float 2.5 -> 2 */
        expect_l(r, k ? 0 : 1, k ? 2 : 0x86A0, 3 + k);
        r = k ? ul : i;                     /* -1 becomes 0xFFFFFFFF */
        expect_l(r, 0xFFFF, k ? 0xFFF0 : 0xFFFF, 5 + k);
        expect((k ? ul : i) > 0, 1, 7 + k);
        r = k ? c : l;                      /* char sign-extended */
        expect_l(r, k ? 0xFFFF : 1, k ? 0xFFFD : 0x86A0, 9 + k);
        r = k ? uc : -1L;
        expect_l(r, k ? 0 : 0xFFFF, k ? 200 : 0xFFFF, 11 + k);
        r = k ? u : -1;                     /* unsigned int: 65535 either way */
        expect_l(r, 0, 0xFFFF, 13 + k);
        r = k ? u : -1L;                    /* long: u zero-extended */
        expect_l(r, k ? 0 : 0xFFFF, 0xFFFF, 15 + k);
        expect(pick_l(k, -7L, -7.75f) == -7L, 1, 17 + k);
        expect(pick_f(k, 16777217L, 0.5f) == (k ? 16777216.0f : 0.5f), 1, 19 + k);
        expect_l(widen(k, c, u), 0, k ? 0xFFFD : 0xFFFF, 21 + k);
        /* only the chosen arm is evaluated */
        calls = 0;
        r = k ? counted(5L) : (long)(f * 4);
        expect(calls, k, 23 + k);
        expect_l(r, 0, k ? 5 : 10, 25 + k);
        /* nested, and as right sides of assignment operators */
        r = 1000;
        r += k ? (k > 1 ? l : 0.5f) : -2.5f;
        expect_l(r, 0, k ? 1000 : 997, 27 + k);
        g = 10;
        g *= k ? -1L : uc;
        expect(g == (k ? -10.0f : 2000.0f), 1, 29 + k);
        r = 1L << (k ? 20 : c + 19);
        expect_l(r, k ? 0x10 : 1, 0, 31 + k);
        expect((k ? l : -l) < 0, !k, 33 + k);
        expect((k ? f : -f) > 0, k, 35 + k);
    }
    return finish();
}
