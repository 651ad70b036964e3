/* Decimal text to int and back, with signs. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int to_int(char *s)
{
    int v = 0, neg = 0;
    if (*s == '-') { neg = 1; s++; }
    while (*s >= '0' && *s <= '9')
        v = v * 10 + (*s++ - '0');
    return neg ? -v : v;
}
int main(void)
{
    init_io();
    expect(to_int("0"), 0, 1);
    expect(to_int("12345"), 12345, 2);
    expect(to_int("-32767"), -32767, 3);
    expect(to_int("42abc"), 42, 4);
    return finish();
}
