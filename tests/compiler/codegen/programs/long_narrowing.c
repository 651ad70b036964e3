/* Narrowing long and unsigned long values to int, unsigned, char and
   unsigned char (the low bits are kept), by assignment, cast, argument
   and return, and the value's sign after the cut. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

char to_char(long v) { return v; }
unsigned char to_uchar(unsigned long v) { return v; }
int to_int(long v) { return v; }
unsigned take_u(unsigned v) { return v; }

char gc;
int gi;

int main(void)
{
    long l = 0x12345680;
    unsigned long u = 0xFFFF7FFF;
    int i;
    unsigned ui;
    char c;
    unsigned char uc;
    init_io();
    c = l;
    expect(c, -128, 1);
    uc = l;
    expect(uc, 0x80, 2);
    i = l;
    expect(i, 0x5680, 3);
    i = u;
    expect(i, 0x7FFF, 4);
    ui = u >> 16;
    expect(ui, 0xFFFF, 5);
    expect((char)u, -1, 6);
    expect((unsigned char)u, 0xFF, 7);
    expect((int)(u >> 1), 0xBFFF, 8);
    expect(to_char(0x1FF), -1, 9);
    expect(to_uchar(0x1FF), 0xFF, 10);
    expect(to_int(-65536), 0, 11);
    expect(to_int(-65535), 1, 12);
    expect(take_u((unsigned)l), 0x5680, 13);
    gc = u - 0x80;
    expect(gc, 0x7F, 14);
    gi = l * 2;
    expect(gi, 0xAD00, 15);
    /* a narrowed value compared after the cut */
    expect((char)l < 0, 1, 16);
    expect((unsigned char)l > 0x7F, 1, 17);
    expect((int)l > 0, 1, 18);
    expect((int)0x00018000 < 0, 1, 19);
    /* and widened again */
    l = (char)l;
    expect_l(l, 0xFFFF, 0xFF80, 20);
    u = (unsigned char)u;
    expect_l(u, 0, 0xFF, 21);
    l = (int)0x0001FFFE;
    expect_l(l, 0xFFFF, 0xFFFE, 22);
    l = (unsigned)0x0001FFFE;
    expect_l(l, 0, 0xFFFE, 23);
    return finish();
}
