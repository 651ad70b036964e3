/* A running 16-bit checksum over a byte buffer, rotating left. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
unsigned char data[64];
unsigned sum(unsigned char *p, int n)
{
    unsigned s = 0;
    while (n--) {
        s = (s << 1) | (s >> 15);
        s += *p++;
    }
    return s;
}
int main(void)
{
    int i;
    init_io();
    for (i = 0; i < 64; i++)
        data[i] = i * 5 + 1;
    expect(sum(data, 1), 1, 1);
    expect(sum(data, 2), 8, 2);
    expect(sum(data, 3), 27, 3);
    expect(sum(data, 0), 0, 4);
    return finish();
}
