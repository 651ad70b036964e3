/* Comparisons at 8 and 16 bits, signed and unsigned, at the edges. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int lt(int a, int b) { return a < b; }
int ult(unsigned a, unsigned b) { return a < b; }

int main(void)
{
    int a = -1, b = 1;
    unsigned ua = 0xFFFF, ub = 1;
    char c = -1, d = 1;
    unsigned char x = 255, y = 1;
    init_io();
    expect(a < b, 1, 1);
    expect(a > b, 0, 2);
    expect(ua < ub, 0, 3);
    expect(ua > ub, 1, 4);
    expect(c < d, 1, 5);
    expect(x > y, 1, 6);
    expect(a <= a, 1, 7);
    expect(a >= b, 0, 8);
    expect(a == -1, 1, 9);
    expect(a != -1, 0, 10);
    expect(lt(-32767 - 1, 32767), 1, 11);
    expect(lt(32767, -32767 - 1), 0, 12);
    expect(ult(0, 0xFFFF), 1, 13);
    expect(ult(0x8000, 32767), 0, 14);
    expect(ua >= 0xFFFF, 1, 15);
    expect(ub <= 0, 0, 16);
    expect(!a, 0, 17);
    expect(!0, 1, 18);
    expect(a && b, 1, 19);
    expect(a && 0, 0, 20);
    expect(0 || b, 1, 21);
    expect(0 || 0, 0, 22);
    if (c > 0) expect(0, 1, 23);
    if (x < 128) expect(0, 1, 24);
    return finish();
}
