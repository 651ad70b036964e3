/* Values converted on their way out: returns narrower or wider than the
   expression, the value of an assignment (the object's new value, cut to
   its type or field width), and casts between every size. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)((unsigned long)got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

char to_char(long v) { return v; }
unsigned char to_uchar(float v) { return v; }
int to_int(unsigned long v) { return v; }
long to_long(char v) { return v; }
unsigned long to_ulong(int v) { return v; }
float to_float(unsigned long v) { return v; }

struct fields { unsigned lo : 4; unsigned mid : 7; unsigned hi : 5; };
struct wide { unsigned long low : 12; unsigned long high : 20; };

int main(void)
{
    struct fields s;
    struct wide w;
    char c;
    unsigned char uc;
    int i;
    long l;
    init_io();

    expect(to_char(0x12345L), 0x45, 1);
    expect(to_char(0x1FFL), -1, 2);
    expect(to_uchar(200.9f), 200, 3);
    expect(to_int(0xABCD1234UL), 0x1234, 4);
    expect(to_int(0x8000FFFFUL), -1, 5);
    expect_l(to_long(-5), 0xFFFF, 0xFFFB, 6);
    expect_l(to_long('x'), 0, 'x', 7);
    expect_l((long)to_ulong(-2), 0xFFFF, 0xFFFE, 8);
    expect(to_float(16777216UL) == 16777216.0f, 1, 9);
    expect(to_float(0xFFFFFFFFUL) == 4294967296.0f, 1, 10);

    c = 0;
    i = (c = 300);                         /* the char's value, 44 */
    expect(i, 44, 20);
    i = (c = 200);                         /* -56 */
    expect(i, -56, 21);
    i = (uc = -1);
    expect(i, 255, 22);
    l = (i = 70000L);                      /* 70000 - 65536 */
    expect_l(l, 0, 4464, 23);
    l = (c = -1) + (uc = 511);
    expect_l(l, 0, 254, 24);

    s.lo = s.mid = s.hi = 0;
    i = (s.mid = 0x1FF);                   /* 7 bits keep 0x7F */
    expect(i, 0x7F, 30);
    expect(s.lo, 0, 31);
    expect(s.hi, 0, 32);
    i = (s.lo = 0x13) + (s.hi = 0x21);     /* 3 + 1 */
    expect(i, 4, 33);
    expect(s.mid, 0x7F, 34);
    s.mid += 2;                            /* 0x81 cut to 1 */
    expect(s.mid, 1, 35);
    expect((s.lo = -1) == 15, 1, 36);

    w.low = 0;
    w.high = 0;
    l = (w.high = 0x123456L);              /* 20 bits keep 0x23456 */
    expect_l(l, 0x0002, 0x3456, 40);
    l = (w.low = -1L);
    expect_l(l, 0, 0x0FFF, 41);
    expect_l((long)w.high, 0x0002, 0x3456, 42);

    expect((char)0x1234, 0x34, 50);
    expect((unsigned char)-1 + 1, 256, 51);
    expect((int)(char)0x80, -128, 52);
    expect((unsigned)(char)0x80, 0xFF80U, 53);
    expect_l((long)(unsigned)-1, 0, 0xFFFF, 54);
    expect_l((long)(int)-1, 0xFFFF, 0xFFFF, 55);
    expect_l((long)(unsigned char)-1, 0, 0xFF, 56);
    expect_l((long)(unsigned long)(char)-1, 0xFFFF, 0xFFFF, 57);
    expect((int)(float)(long)-70000.5f == (int)-70000L, 1, 58);
    return finish();
}
