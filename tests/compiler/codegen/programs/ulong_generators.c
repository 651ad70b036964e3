/* Pseudo-random generators and a hash on unsigned long state: a linear
   congruential step, xorshift, and FNV-1a; every product and shift wraps
   at 32 bits. */
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

unsigned long lcg(unsigned long x) { return x * 1103515245 + 12345; }

unsigned long xorshift(unsigned long x)
{
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
}

unsigned long fnv1a(char *s)
{
    unsigned long h = 2166136261UL;
    while (*s) {
        h ^= (unsigned char)*s++;
        h *= 16777619;
    }
    return h;
}

int main(void)
{
    unsigned long x = 1;
    int i;
    init_io();
    for (i = 0; i < 5; ++i)
        x = lcg(x);
    expect_l(x, 0xF94B, 0xDF32, 1);
    x = 2463534242UL;
    for (i = 0; i < 3; ++i)
        x = xorshift(x);
    expect_l(x, 0x7B08, 0x59A0, 2);
    expect_l(fnv1a("hello"), 0x4F9F, 0x2CAB, 3);
    expect_l(fnv1a(""), 0x811C, 0x9DC5, 4);
    return finish();
}
