/* Logic operators with constants whose bytes are 0, FF or mixed. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int main(void)
{
    int a = 0x5AA5, v;
    init_io();
    expect(a & 0x00FF, 0x00A5, 1);
    expect(a & 0xFF00, 0x5A00, 2);
    expect(a & 0, 0, 3);
    expect(a | 0x0F00, 0x5FA5, 4);
    expect(a | 0, 0x5AA5, 5);
    expect(a ^ 0xFFFF, 0xA55A, 6);
    v = a;
    v &= 0x0FF0;
    expect(v, 0x0AA0, 7);
    v |= 0xF00F;
    expect(v, 0xFAAF, 8);
    v ^= 0x00FF;
    expect(v, 0xFA50, 9);
    return finish();
}
