/* Unsigned char and char operands promoted to int before they meet:
   products beyond 255, negative differences, complements, shifts into
   the high byte, and widening to long and float by their own sign. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)((unsigned long)got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

unsigned char ub(unsigned char x) { return x; }
int as_int(unsigned char x) { return x; }

int main(void)
{
    unsigned char a = 200, b = 250, z = 0;
    char c = -56, d = 127;
    long l;
    unsigned long ul;
    float f;
    int i;
    init_io();

    expect(a * b, (int)50000U, 1);         /* int product wraps in 16 bits */
    expect(a + b, 450, 2);
    expect(a - b, -50, 3);
    expect(a - b < 0, 1, 4);
    expect(~a, -201, 5);
    expect(~z, -1, 6);
    expect((unsigned char)~a, 55, 7);
    expect(a << 8, (int)0xC800, 8);
    expect(a << 1, 400, 9);
    expect(-a, -200, 10);
    expect(a / 3, 66, 11);
    expect(a % 7, 4, 12);
    expect(a > c, 1, 13);
    expect(a == (unsigned char)c, 1, 14);  /* -56 is 200 as a byte */
    expect(a == c, 0, 15);
    expect(c == -56, 1, 16);
    expect(z - 1 < 0, 1, 17);
    expect(z > -1, 1, 18);
    expect(b > 0xF9, 1, 19);
    expect(c * d, -7112, 20);
    expect(d + 1, 128, 21);
    expect((char)(d + 1), -128, 22);
    expect(as_int(ub(300)), 44, 23);
    expect(ub(a + b), 194, 24);

    l = a;
    expect_l(l, 0, 200, 30);
    l = c;
    expect_l(l, 0xFFFF, 0xFFC8, 31);
    l = a * b;                             /* int product, then widened */
    expect_l(l, 0xFFFF, 0xC350, 32);
    l = (long)a * b;
    expect_l(l, 0, 0xC350, 33);
    ul = c;
    expect_l((long)ul, 0xFFFF, 0xFFC8, 34);
    ul = a;
    ul <<= 24;
    expect_l((long)ul, 0xC800, 0, 35);
    l = 1000;
    l -= a;
    l += c;
    expect_l(l, 0, 744, 36);
    f = a;
    expect(f == 200.0f, 1, 37);
    f = c;
    expect(f == -56.0f, 1, 38);
    f = a - b;
    expect(f == -50.0f, 1, 39);
    i = 0;
    for (a = 250; a != 4; ++a) ++i;        /* wraps through 255 to 0 */
    expect(i, 10, 40);
    a = 255;
    ++a;
    expect(a, 0, 41);
    c = 127;
    c++;
    expect(c, -128, 42);
    a = 0x80;
    a >>= 7;
    expect(a, 1, 43);
    c = -128;
    c >>= 7;
    expect(c, -1, 44);
    a = 3;
    a -= 4;
    expect(a, 255, 45);
    a = 16;
    a *= 16;
    expect(a, 0, 46);
    return finish();
}
