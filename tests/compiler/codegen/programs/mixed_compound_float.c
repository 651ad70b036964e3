/* Assignment operators whose two sides differ in size or kind: integer
   objects with float right sides (the operation runs in float and the
   result is truncated back), float objects with integer right sides, and
   long objects with 16-bit and 8-bit right sides. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

long gl;
unsigned long gul;
float gf;

int main(void)
{
    int i = 10;
    unsigned char uc = 200;
    char c = -7;
    unsigned u = 60000;
    long l = 100000;
    unsigned long ul = 0xFFFFFFF0;
    float f = 1.5;
    float *pf = &gf;
    init_io();
    /* integer objects, float right sides */
    i += 2.7;
    expect(i, 12, 1);
    i *= 1.5;
    expect(i, 18, 2);
    i /= 0.5;
    expect(i, 36, 3);
    i -= 0.25;
    expect(i, 35, 4);
    uc += 0.9;
    expect(uc, 200, 5);
    c *= 2.5;
    expect(c, -17, 6);
    u /= 1.5;
    expect(u, 0x9C40, 7);
    l *= 2.5;
    expect_l(l, 0x0003, 0xD090, 8);
    l /= 4.0;
    expect_l(l, 0x0000, 0xF424, 9);
    /* float objects, integer right sides */
    f += 10L;
    expect_f(f, 0x4138, 0, 20);
    f *= i;
    expect_f(f, 0x43C9, 0x4000, 21);          /* 402.5 */
    f -= u;
    expect_f(f, 0xC71A, 0xAD80, 22);          /* -39597.5 */
    f /= c;
    *pf = 3;
    *pf *= uc;
    expect_f(gf, 0x4416, 0, 23);              /* 600 */
    gf -= 0xFFFFFFFF;
    expect_f(gf, 0xCF7F, 0xFFFE, 24);         /* 600 - 2^32, rounded */
    /* long objects, narrower right sides */
    l = 0x0000FFFF;
    l += c;
    expect_l(l, 0x0000, 0xFFEE, 30);
    l -= u;
    expect_l(l, 0x0000, 0x63AE, 31);
    gul = 5;
    gul -= i;
    expect_l(gul, 0xFFFF, 0xFFE2, 32);
    ul += uc;
    expect_l(ul, 0x0000, 0x00B8, 33);
    gl = 3;
    gl <<= i - 19;
    expect_l(gl, 0x0003, 0x0000, 34);
    gl |= c;
    expect_l(gl, 0xFFFF, 0xFFEF, 35);
    gl &= 0xFF00u;
    expect_l(gl, 0, 0xFF00, 36);
    gl ^= -1;
    expect_l(gl, 0xFFFF, 0x00FF, 37);
    return finish();
}
