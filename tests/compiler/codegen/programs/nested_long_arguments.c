/* Calls nested inside the arguments of calls, with long, unsigned long,
   float and narrow arguments mixed, in both calling orders: every
   argument keeps its value and its place while the inner calls run. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)((unsigned long)got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

long sub3(long a, long b, long c) { return a - b - c; }
long mix(char c, long l, int i, unsigned long u) { return c * 1000000L + l * 1000L + i * 10L + (long)u; }
unsigned long umax(unsigned long a, unsigned long b) { return a > b ? a : b; }
float scale(float f, long l) { return f * l; }
long __pascal psub(long a, long b) { return a - b; }
long twice(long v) { return v + v; }
int order[8];
int seen;
long note(long v) { order[seen++] = (int)v; return v; }

int main(void)
{
    long x = 70000L;
    char c = -1;
    unsigned long big = 0xFFFFFFFEUL;
    init_io();

    expect_l(sub3(sub3(x, 1L, 2L), sub3(10L, 20L, 30L), twice(x)), 0xFFFE, 0xEEB5, 1);
    /* 69997 + 40 - 140000 = -69963 */
    expect_l(mix(c, twice(-3L), (int)sub3(5L, 2L, 1L), umax(7UL, 3UL)), 0xFFF0, 0xA66B, 2);
    /* -1000000 - 6000 + 20 + 7 = -1005973 */
    expect_l((long)umax(umax(big, 1UL), umax(0UL, big - 1)), 0xFFFF, 0xFFFE, 3);
    expect_l(psub(psub(100L, 1L), twice(psub(5L, 7L))), 0, 103, 4);
    expect_l((long)scale(scale(0.5f, 6L), twice(2L)), 0, 12, 5);
    expect_l(twice(twice(twice(twice(x)))), 0x0011, 0x1700, 6);   /* 1120000 */
    expect_l(mix(mix(1, 0L, 0, 0UL) > 0 ? 2 : 3, x, c, big), 0x044A, 0xA1F4, 7);
    /* 2000000 + 70000000 - 10 + 0xFFFFFFFE = 71999988 */
    seen = 0;
    expect_l(sub3(note(1L), note(2L), note(3L)), 0xFFFF, 0xFFFC, 8);
    expect(order[0] + order[1] + order[2], 6, 9);
    expect_l(psub(note(40L), note(2L)), 0, 38, 10);
    expect(seen, 5, 11);
    return finish();
}
