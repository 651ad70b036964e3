/* Long, unsigned long and float values as truth values: in if, loops,
   !, && and || (each operand decided by its own whole width), and mixed
   with char operands in compares inside conditions. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int hits;
long bump(long v) { ++hits; return v; }

int main(void)
{
    long l = 0x10000L;                     /* low word zero */
    unsigned long ul = 0x80000000UL;
    float f = 0.0f, nz = -0.0f, tiny = 1e-30f;
    char c = -1;
    unsigned char uc = 255;
    int n;
    init_io();

    expect(l ? 1 : 0, 1, 1);
    expect(!l, 0, 2);
    expect(!!ul, 1, 3);
    expect(f ? 1 : 0, 0, 4);
    expect(nz ? 1 : 0, 0, 5);              /* -0.0 is false */
    expect(tiny ? 1 : 0, 1, 6);
    expect(!tiny, 0, 7);
    expect(l && ul, 1, 8);
    expect(l && f, 0, 9);
    expect(f || nz, 0, 10);
    expect(f || tiny, 1, 11);
    n = 0;
    if (l) n += 1;
    if (ul) n += 2;
    if (f) n += 4;
    if (!f) n += 8;
    if (l & 0xFFFF) n += 16;
    expect(n, 11, 12);

    hits = 0;
    expect(bump(0L) && bump(1L), 0, 20);
    expect(hits, 1, 21);
    expect(bump(0x10000L) || bump(1L), 1, 22);
    expect(hits, 2, 23);
    expect(bump(0L) || bump(0x100L) || bump(5L), 1, 24);
    expect(hits, 4, 25);

    n = 0;
    for (l = 0x30000L; l; l -= 0x10000L) ++n;
    expect(n, 3, 30);
    n = 0;
    for (ul = 1; ul; ul <<= 1) ++n;
    expect(n, 32, 31);
    n = 0;
    for (f = 4.0f; f; f -= 0.5f) ++n;
    expect(n, 8, 32);
    n = 0;
    while (uc--) ++n;
    expect(n, 255, 33);
    expect(uc, 255, 34);

    expect(c < l, 1, 40);                  /* l is 0: -1 < 0 */
    expect(c < ul, 0, 41);                 /* ul is 0: 0xFFFFFFFF < 0 */
    l = -1;
    expect(c == l, 1, 42);
    expect(uc == l, 0, 43);
    expect(uc > f, 1, 44);                 /* f is 0 */
    expect(c < f && uc > c, 1, 45);
    expect((c < f) + (uc > f) + (l < f) + (ul < f), 3, 46);
    return finish();
}
