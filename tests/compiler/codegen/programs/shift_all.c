/* Every shift count from 0 to 15 by variable, against shifts of one bit. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    int n, i, bad = 0;
    unsigned u, w;
    int s, t;
    init_io();
    for (n = 0; n < 16; n++) {
        u = 0xB5A3;
        w = 0xB5A3;
        s = -0x4A5D;
        t = -0x4A5D;
        for (i = 0; i < n; i++) {
            w = w >> 1;
            t = t >> 1;
        }
        if ((u >> n) != w) bad++;
        if ((s >> n) != t) bad++;
        w = 0xB5A3;
        for (i = 0; i < n; i++)
            w = w << 1;
        if ((u << n) != w) bad++;
    }
    expect(bad, 0, 1);
    return finish();
}
