/* Floating arithmetic, compares (with a NaN), conversions to and from
   integers, assignment operators and increments, checked by their bits. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_f(float got, int hi, int lo, int id)
{
    int *w = (int *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

float gf = 2.5;
float nan_value;
float fa[3];

float half(float x) { return x / 2; }

int main(void)
{
    float a = 1.0, b = 2.5, c;
    long l;
    unsigned long ul;
    int i;
    unsigned ui;
    char ch;
    init_io();
    expect_f(a, 0x3F80, 0, 1);
    expect_f(a + b, 0x4060, 0, 2);          /* 3.5 */
    expect_f(a - b, 0xBFC0, 0, 3);          /* -1.5 */
    expect_f(b * 4, 0x4120, 0, 4);          /* 10 */
    expect_f(a / 10, 0x3DCC, 0xCCCD, 5);    /* 0.1 rounded */
    expect_f(-b, 0xC020, 0, 6);
    expect_f(half(gf), 0x3FA0, 0, 7);       /* 1.25 */
    /* conversions */
    i = -3;
    c = i;
    expect_f(c, 0xC040, 0, 10);
    ui = 40000;
    c = ui;
    expect_f(c, 0x471C, 0x4000, 11);
    l = 100000;
    c = l;
    expect_f(c, 0x47C3, 0x5000, 12);
    ul = 0x80000000;
    c = ul;
    expect_f(c, 0x4F00, 0, 13);
    c = 123.75;
    i = c;
    expect(i, 123, 14);
    c = -2.9;
    i = c;
    expect(i, -2, 15);
    ch = c;
    expect(ch, -2, 16);
    c = 70000.5;
    l = c;
    expect((int)(l >> 16), 1, 17);
    expect((int)l, 0x1170, 18);
    c = 3e9;
    ul = c;
    expect((int)(ul >> 16), 0xB2D0, 19);
    /* compares */
    expect(a < b, 1, 30);
    expect(a > b, 0, 31);
    expect(b >= 2.5, 1, 32);
    expect(b <= 2.4, 0, 33);
    expect(a == 1, 1, 34);
    expect(a != 1, 0, 35);
    expect(-a < 0, 1, 36);
    expect(!a, 0, 37);
    c = 0;
    expect(!c, 1, 38);
    expect(c ? 1 : 2, 2, 39);
    *(unsigned long *)&nan_value = 0x7FC00000;
    expect(nan_value == nan_value, 0, 40);
    expect(nan_value != nan_value, 1, 41);
    expect(nan_value < a, 0, 42);
    expect(nan_value > a, 0, 43);
    expect(nan_value <= a, 0, 44);
    expect(nan_value >= a, 0, 45);
    expect(a > nan_value, 0, 46);
    if (nan_value > a)
        expect(0, 1, 47);
    if (!(nan_value < a))
        expect(1, 1, 48);
    else
        expect(0, 1, 48);
    /* assignment operators and increments */
    c = 1.5;
    c += 1;
    expect_f(c, 0x4020, 0, 50);
    c *= c;
    expect_f(c, 0x40C8, 0, 51);             /* 6.25 */
    c -= 0.25;
    c /= 2;
    expect_f(c, 0x4040, 0, 52);
    expect_f(c++, 0x4040, 0, 53);
    expect_f(c, 0x4080, 0, 54);
    expect_f(c--, 0x4080, 0, 55);
    expect_f(++c, 0x4080, 0, 56);
    fa[1] = 0.5;
    fa[i + 3]++;
    fa[1] += fa[1];
    expect_f(fa[1], 0x4040, 0, 57);
    expect_f(fa[2], 0, 0, 58);
    return finish();
}
