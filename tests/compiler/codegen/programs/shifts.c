/* Shifts by constant and variable counts, signed and unsigned. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    int a = -32000, n, v;
    unsigned u = 0x8421;
    unsigned char c = 0x81;
    char s = -64;
    init_io();
    expect(a >> 1, -16000, 1);
    expect(a >> 8, -125, 2);
    expect(a >> 15, -1, 3);
    expect(u >> 8, 0x84, 4);
    expect(u >> 4, 0x842, 5);
    expect(u << 8, 0x2100, 6);
    expect(u << 3, 0x2108, 7);
    expect(u << 12, 0x1000, 8);
    expect(u >> 15, 1, 9);
    n = 0;
    expect(u >> n, 0x8421, 10);
    expect(u << n, 0x8421, 11);
    n = 5;
    expect(u >> n, 0x421, 12);
    expect(a >> n, -1000, 13);
    expect(1 << n, 32, 14);
    n = 9;
    expect(u << n, 0x4200, 15);
    v = c >> 1;
    expect(v, 0x40, 16);
    v = s >> 2;
    expect(v, -16, 17);
    c = 0x81;
    c >>= 3;
    v = c;
    expect(v, 0x10, 18);
    c <<= 2;
    v = c;
    expect(v, 0x40, 19);
    v = 3;
    v <<= 4;
    expect(v, 48, 20);
    v = -48;
    v >>= 4;
    expect(v, -3, 21);
    return finish();
}
