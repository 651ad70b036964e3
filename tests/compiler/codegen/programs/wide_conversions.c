/* Arguments widened by their own signedness, and compound assignments
   whose right side is wider than the object: the operation runs in the
   right side's type and only the result is converted back. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

long take_long(long v) { return v; }
unsigned long take_ulong(unsigned long v) { return v; }
int high_word(long v) { return (int)(v >> 16); }
int low_word(long v) { return (int)v; }
int two_longs(long a, int b, long c) { return (int)(a >> 16) + b + (int)(c >> 8); }

int main(void)
{
    unsigned int u = 0xFFFF;
    unsigned short us = 40000;
    int i;
    char c;
    int a[3];
    int k;
    long l;
    float f;
    init_io();

    /* unsigned 16-bit arguments to long parameters: zero-extended */
    expect(high_word(u), 0, 1);
    expect(low_word(u), -1, 2);
    expect(take_long(u) == 65535L, 1, 3);
    expect(take_ulong(u) == 65535UL, 1, 4);
    expect(take_long(us) == 40000L, 1, 5);
    expect(high_word(0xFFFF), 0, 6);
    expect(take_long(0xFFFFu) == 65535L, 1, 7);
    expect(take_long(40000u) > 0, 1, 8);
    /* signed ones still sign-extend */
    i = -1;
    expect(high_word(i), -1, 9);
    expect(take_long(-2) == -2L, 1, 10);
    expect(two_longs(u, 3, 0x8000u), 3 + 0x80, 11);

    /* float right sides */
    i = 3;
    i *= 2.5;
    expect(i, 7, 20);
    i = 7;
    i /= 2.5;
    expect(i, 2, 21);               /* 2.8 */
    i = 10;
    i -= 0.5;
    expect(i, 9, 22);
    i = 10;
    i += 0.5;
    expect(i, 10, 23);
    f = 1.5;
    i = 5;
    i *= f;
    expect(i, 7, 24);
    i = -5;
    i *= f;
    expect(i, -7, 25);               /* truncation toward zero */
    c = 9;
    c /= f;
    expect(c, 6, 26);
    c = 9;
    c -= f;
    expect(c, 7, 27);
    a[1] = 4;
    k = 0;
    a[++k] *= f;                     /* the address is worked out once */
    expect(a[1], 6, 28);
    expect(k, 1, 29);
    u = 40000;
    u *= 1.5;
    expect(u == 60000u, 1, 30);

    /* long right sides */
    i = 10;
    l = 100000;
    i /= l;
    expect(i, 0, 40);                /* 100000 as an int would be -31072 */
    i = 30000;
    l = 70000;
    i %= l;
    expect(i, 30000, 41);            /* 70000 as an int would be 4464 */
    i = 1000;
    i -= l;
    expect(i, (int)(1000L - 70000L), 42);
    i = 3;
    i *= 100000L;
    expect(i, (int)300000L, 43);     /* low 16 bits: 0x93E0 */
    i = 20000;
    i /= 65536L;
    expect(i, 0, 44);
    i = -7;
    i /= 65538L;
    expect(i, 0, 45);

    /* division of narrow objects in the promoted type */
    c = 100;
    c /= 300;
    expect(c, 0, 60);
    c = 100;
    c %= 300;
    expect(c, 100, 61);
    k = 300;
    c = -100;
    c /= k;
    expect(c, 0, 62);
    c = 100;
    c /= 3;
    expect(c, 33, 63);
    c = -100;
    c %= 7;
    expect(c, -2, 64);
    {
        unsigned char uc = 200;
        uc /= -1;
        expect(uc, 56, 65);          /* -200 in a byte */
        uc = 200;
        uc /= 2;
        expect(uc, 100, 66);
    }
    i = -6;
    u = 4;
    i /= u;
    expect(i, 16382, 67);            /* 65530 / 4 */
    i = -6;
    i %= u;
    expect(i, 2, 68);
    i = -6;
    i /= 4;
    expect(i, -1, 69);
    u = 65530u;
    k = 4;
    u /= k;
    expect(u == 16382u, 1, 70);

    /* long objects with float right sides */
    l = 3;
    l *= 2.5;
    expect(l == 7L, 1, 50);
    l = 100001;
    l /= 2.0;
    expect(l == 50000L, 1, 51);
    l = -10;
    f = 0.25;
    l += f;
    expect(l == -9L, 1, 52);          /* -9.75 toward zero */
    l = 70000;
    l -= f;
    expect(l == 69999L, 1, 53);
    {
        unsigned long ul = 3000000000UL;
        ul /= 1.5;
        expect(ul == 2000000000UL, 1, 54);
        ul = 5;
        ul *= f;
        expect(ul == 1UL, 1, 55);
    }
    return finish();
}
