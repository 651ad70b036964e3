/* Decimal text parsed into a float digit by digit: products by ten,
   character arithmetic converted to float, and a scale divided down for
   the fraction; each step rounds. */
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

float parse(char *s)
{
    float v = 0, scale = 1;
    int neg = *s == '-';
    if (neg)
        ++s;
    while (*s >= '0' && *s <= '9')
        v = v * 10 + (*s++ - '0');
    if (*s == '.') {
        ++s;
        while (*s >= '0' && *s <= '9') {
            scale /= 10;
            v += (*s++ - '0') * scale;
        }
    }
    return neg ? -v : v;
}

int main(void)
{
    init_io();
    expect_f(parse("123.456"), 0x42F6, 0xE979, 1);
    expect_f(parse("-0.5"), 0xBF00, 0, 2);
    expect_f(parse("1000000"), 0x4974, 0x2400, 3);
    expect_f(parse("3.14159"), 0x4049, 0x0FCE, 4);
    expect_f(parse("0.1"), 0x3DCC, 0xCCCD, 5);
    expect_f(parse(""), 0, 0, 6);
    return finish();
}
