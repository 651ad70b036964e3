/* Bit manipulation: population count, parity, reversal and masks. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int popcount(unsigned v) { int n = 0; while (v) { n += v & 1; v >>= 1; } return n; }
unsigned reverse(unsigned v)
{
    unsigned r = 0;
    int i;
    for (i = 0; i < 16; i++) {
        r = (r << 1) | (v & 1);
        v >>= 1;
    }
    return r;
}

int main(void)
{
    unsigned m;
    init_io();
    expect(popcount(0xFFFF), 16, 1);
    expect(popcount(0x8421), 4, 2);
    expect(reverse(1) == 0x8000, 1, 3);
    expect(reverse(0x1234), 0x2C48, 4);
    m = 0;
    m |= 1 << 3;
    m |= 1 << 12;
    m &= ~(1 << 3);
    expect(m, 0x1000, 5);
    expect((m ^ 0xFFFF) & 0xF000, 0xE000, 6);
    return finish();
}
