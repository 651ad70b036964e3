/* Addition and subtraction carrying across the byte boundary. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int main(void)
{
    int a = 0x00FF, b = 0x0100, v;
    unsigned u = 0x7FFF;
    init_io();
    expect(a + 1, 0x0100, 1);
    expect(b - 1, 0x00FF, 2);
    v = a + a;
    expect(v, 0x01FE, 3);
    u += 1;
    expect(u == 0x8000, 1, 4);
    v = -1;
    v += 1;
    expect(v, 0, 5);
    v = 0x7F80 + 0x0080;
    expect(v, -32767 - 1, 6);
    return finish();
}
