/* char arithmetic: promotion, sign extension, truncation, unsigned chars
   as indexes, and char parameters and results. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

char half(char c) { return c / 2; }
unsigned char inc(unsigned char c) { return c + 1; }
int widen(char c) { return c; }

int main(void)
{
    char c = -128, d;
    unsigned char u = 200;
    int v;
    init_io();
    expect(widen(c), -128, 1);
    expect(half(-7), -3, 2);
    v = inc(255);
    expect(v, 0, 3);
    v = inc(u);
    expect(v, 201, 4);
    d = c - 1;
    expect(d, 127, 5);
    v = u + u;
    expect(v, 400, 6);
    v = c * 2;
    expect(v, -256, 7);
    d = 300;
    expect(d, 44, 8);
    u = -1;
    expect(u, 255, 9);
    v = (char)u;
    expect(v, -1, 10);
    v = (unsigned char)c;
    expect(v, 128, 11);
    c = 'A';
    c += 2;
    expect(c, 'C', 12);
    c++;
    expect(c, 'D', 13);
    --c;
    expect(c, 'C', 14);
    u = 7;
    u <<= 5;
    expect(u, 224, 15);
    u |= 3;
    u &= 0xF3;
    u ^= 0x10;
    expect(u, 0xF3 & 0xE3 ^ 0x10, 16);
    return finish();
}
