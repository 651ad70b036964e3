/* Integer powers by squaring, wrapping at 16 bits. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int ipow(int b, int e) { int r = 1; while (e) { if (e & 1) r *= b; b *= b; e >>= 1; } return r; }
int main(void)
{
    init_io();
    expect(ipow(2, 10), 1024, 1);
    expect(ipow(3, 7), 2187, 2);
    expect(ipow(-2, 15), -32767 - 1, 3);
    expect(ipow(2, 16), 0, 4);
    expect(ipow(7, 0), 1, 5);
    return finish();
}
