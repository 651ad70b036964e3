/* Shift counts wider than the value: an assignment operator's count keeps
   its own type, an 8-bit object shifts as the int it promotes to, and long
   counts from 16 up (or unsigned ones from 2^31 up) shift every bit out. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

unsigned char uc;
char sc;
int si;
unsigned ui;
long sl;

void by_vars(int n8, unsigned n16, long n64k, unsigned long huge)
{
    uc = 200;
    uc <<= n8;
    expect(uc, 0, 1);
    sc = -100;
    sc >>= n8;
    expect(sc, -1, 2);
    sc = 100;
    sc >>= n8;
    expect(sc, 0, 3);
    uc = 200;
    uc >>= n16;
    expect(uc, 0, 4);
    uc = 200;
    uc <<= huge;
    expect(uc, 0, 5);
    si = 0x1234;
    si <<= n64k;
    expect(si, 0, 6);
    si = -2;
    si >>= n64k;
    expect(si, -1, 7);
    ui = 0x8000;
    expect(ui >> n64k, 0, 8);
    expect(ui << huge, 0, 9);
    expect(si >> huge, -1, 10);
    sl = 5;
    sl <<= n16;
    expect((int)sl, 0, 11);
    uc = 3;
    uc <<= n8 - 6;
    expect(uc, 12, 12);
    sc = -128;
    expect((sc >>= n8 - 1), -1, 13);
}

int main(void)
{
    init_io();
    by_vars(8, 50000u, 0x10000L, 0x80000001UL);
    /* the same counts as constants */
    si = 0x1234;
    si <<= 50000u;
    expect(si, 0, 20);
    ui = 0xFFFF;
    ui >>= 0x10000L;
    expect(ui, 0, 21);
    uc = 255;
    uc <<= 256;
    expect(uc, 0, 22);
    sc = -1;
    sc >>= 300;
    expect(sc, -1, 23);
    si = 1;
    expect(si << 0x80000000UL, 0, 24);
    si = -1;
    expect(si >> 0x80000000UL, -1, 25);
    return finish();
}
