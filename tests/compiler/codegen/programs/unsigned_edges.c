/* Unsigned 16-bit and 8-bit values above the signed range in arithmetic,
   comparisons and conversions. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    unsigned a = 0x8000, b = 0x7FFF, c;
    unsigned char x = 0x80, y = 0x7F;
    int v;
    init_io();
    expect(a > b, 1, 1);
    expect(x > y, 1, 2);
    c = a + b;
    expect(c == 0xFFFF, 1, 3);
    c = b - a;
    expect(c == 0xFFFF, 1, 4);
    c = a / 2;
    expect(c, 0x4000, 5);
    c = a >> 15;
    expect(c, 1, 6);
    v = x;
    expect(v, 128, 7);
    v = x + y;
    expect(v, 255, 8);
    expect(x >= 0x80, 1, 9);
    expect(y < 0x80, 1, 10);
    c = 0xFFFF;
    c++;
    expect(c, 0, 11);
    c--;
    expect(c == 0xFFFF, 1, 12);
    expect(c % 256, 255, 13);
    return finish();
}
