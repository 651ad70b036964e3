/* Long values to and from text: hexadecimal and decimal formatting through
   shifts, quotients and remainders, and parsing back with a leading minus. */
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

int same(char *a, char *b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

void to_hex(unsigned long v, char *out)
{
    int k;
    for (k = 28; k >= 0; k -= 4)
        *out++ = "0123456789ABCDEF"[(int)(v >> k) & 15];
    *out = 0;
}

void to_dec(long v, char *out)
{
    char tmp[12];
    int n = 0;
    unsigned long u = v < 0 ? -(unsigned long)v : v;
    do {
        tmp[n++] = '0' + (int)(u % 10);
        u /= 10;
    } while (u);
    if (v < 0)
        *out++ = '-';
    while (n)
        *out++ = tmp[--n];
    *out = 0;
}

long parse(char *s)
{
    long v = 0;
    int neg = *s == '-';
    if (neg)
        ++s;
    while (*s >= '0' && *s <= '9')
        v = v * 10 + (*s++ - '0');
    return neg ? -v : v;
}

int main(void)
{
    char buf[16];
    init_io();
    to_hex(0xDEADBEEF, buf);
    expect(same(buf, "DEADBEEF"), 1, 1);
    to_hex(0x00012345, buf);
    expect(same(buf, "00012345"), 1, 2);
    to_dec(0, buf);
    expect(same(buf, "0"), 1, 3);
    to_dec(2147483647, buf);
    expect(same(buf, "2147483647"), 1, 4);
    to_dec(-2147483647 - 1, buf);
    expect(same(buf, "-2147483648"), 1, 5);
    to_dec(-65536, buf);
    expect(same(buf, "-65536"), 1, 6);
    expect_l(parse("123456789"), 0x075B, 0xCD15, 7);
    expect_l(parse("-70000"), 0xFFFE, 0xEE90, 8);
    expect_l(parse("2147483647"), 0x7FFF, 0xFFFF, 9);
    expect_l(parse("65536"), 0x0001, 0, 10);
    return finish();
}
