/* Negation and complement at the edges of 8 and 16 bits. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    int a = -32767 - 1, b = 0, v;
    char c = -128;
    unsigned char u = 1;
    init_io();
    v = -a;
    expect(v, -32767 - 1, 1);
    v = -b;
    expect(v, 0, 2);
    v = ~b;
    expect(v, -1, 3);
    c = -c;
    expect(c, -128, 4);
    u = -u;
    v = u;
    expect(v, 255, 5);
    u = ~u;
    v = u;
    expect(v, 0, 6);
    v = -(-5);
    expect(v, 5, 7);
    v = ~0x00FF;
    expect(v, -256, 8);
    return finish();
}
