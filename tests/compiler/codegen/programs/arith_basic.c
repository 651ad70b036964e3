/* Addition, subtraction, negation and complement at 16 and 8 bits,
   with wrap-around at the edges. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int g;
unsigned u;
char c;
unsigned char uc;

int add(int a, int b) { return a + b; }

int main(void)
{
    int a = 30000, b = 5000, r;
    init_io();
    g = 1000;
    u = 65535;
    c = 127;
    uc = 255;
    expect(add(2, 3), 5, 1);
    expect(a + b, -30536, 2);
    expect(a - b, 25000, 3);
    expect(-a, -30000, 4);
    expect(~a, -30001, 5);
    u = u + 1;
    expect(u, 0, 6);
    c = c + 1;
    r = c;
    expect(r, -128, 7);
    uc = uc + 1;
    r = uc;
    expect(r, 0, 8);
    r = g - 2000;
    expect(r, -1000, 9);
    expect(g + g + g, 3000, 10);
    r = -32767;
    r = r - 2;
    expect(r, 32767, 11);
    expect((a & 0xFF0F) | 0x00F0, 0x75F0 | (30000 & 0xF), 12);
    expect(a ^ b, 30000 ^ 5000, 13);
    expect(0x1234 ^ 0xFFFF, 0xEDCB, 14);
    return finish();
}
