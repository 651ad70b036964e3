/* Byte order: the high byte of an int is stored first. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int main(void)
{
    int v = 0x1234;
    unsigned char *p = (unsigned char *)&v;
    int w;
    init_io();
    expect(p[0], 0x12, 1);
    expect(p[1], 0x34, 2);
    p[0] = 0xAB;
    expect(v, 0xAB34, 3);
    w = (v << 8) | ((v >> 8) & 0xFF);
    expect(w, 0x34AB, 4);
    return finish();
}
