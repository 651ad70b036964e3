/* Float arithmetic with char, unsigned char, short and unsigned short
   operands (each converted to float by its own signedness), and float
   results stored into those narrow objects. */
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

struct narrow { char c; unsigned char uc; short s; unsigned short us; };

int main(void)
{
    struct narrow n;
    float f = 0.5;
    init_io();
    n.c = -100;
    n.uc = 250;
    n.s = -30000;
    n.us = 60000;
    expect_f(n.c * f, 0xC248, 0, 1);            /* -50 */
    expect_f(n.uc + f, 0x437A, 0x8000, 2);      /* 250.5 */
    expect_f(n.s - f, 0xC6EA, 0x6100, 3);       /* -30000.5 */
    expect_f(n.us / f, 0x47EA, 0x6000, 4);      /* 120000 */
    expect_f(n.c + n.uc + f, 0x4316, 0x8000, 5); /* 150.5 */
    f = 127.9;
    n.c = f;
    expect(n.c, 127, 10);
    f = 255.5;
    n.uc = f;
    expect(n.uc, 255, 11);
    f = -32768.0;
    n.s = f;
    expect(n.s, -32767 - 1, 12);
    f = 65535.9;
    n.us = f;
    expect(n.us, 0xFFFF, 13);
    n.uc += 0.5;
    expect(n.uc, 255, 14);
    n.c -= 0.5;
    expect(n.c, 126, 15);
    n.c -= 1.5;
    expect(n.c, 124, 16);
    expect(n.us > 65534.5, 1, 17);
    expect(n.s < -32767.5, 1, 18);
    return finish();
}
