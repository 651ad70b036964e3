/* Unions share storage; their bytes are big-endian in memory. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

union word { int w; unsigned char b[2]; };

int main(void)
{
    union word u;
    int v;
    init_io();
    u.w = 0x1234;
    v = u.b[0];
    expect(v, 0x12, 1);
    v = u.b[1];
    expect(v, 0x34, 2);
    u.b[1] = 0xFF;
    expect(u.w, 0x12FF, 3);
    expect(sizeof(u), 2, 4);
    return finish();
}
