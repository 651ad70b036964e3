/* Arguments converted to the parameters' types on the way in. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int take_int(int v) { return v; }
int take_char(char c) { return c; }
unsigned take_uns(unsigned u) { return u >> 15; }
int main(void)
{
    char c = -2;
    unsigned char uc = 254;
    int i = 0x1FF;
    init_io();
    expect(take_int(c), -2, 1);
    expect(take_int(uc), 254, 2);
    expect(take_char(i), -1, 3);
    expect(take_uns(c), 1, 4);
    return finish();
}
