/* Bit fields declared on long in 32-bit words: every field is unsigned,
   so values read back zero-extended and wrap at the field's width. Fields
   that cross the middle of the word, fields fed from float and long
   values, and fields in a structure next to float members. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

struct rec {
    float before;
    long s : 12;
    unsigned long mid : 8;
    long t : 12;
    float after;
};

struct rec gr;

long read_t(struct rec *p) { return p->t; }

int main(void)
{
    struct rec r;
    unsigned *w = (unsigned *)&r.before + 2;
    long l;
    float f;
    init_io();
    r.before = 1;
    r.after = 2;
    r.s = -1;
    r.mid = 0xA5;
    r.t = 0x7FF;
    expect(w[0], 0x7FFA, 1);
    expect(w[1], 0x5FFF, 2);
    expect_l(r.s, 0, 0x0FFF, 3);
    expect_l(r.mid, 0, 0xA5, 4);
    expect_l(r.t, 0, 0x7FF, 5);
    r.t += 1;
    expect_l(read_t(&r), 0, 0x0800, 6);
    r.s = 0x12345;                     /* keeps the low 12 bits: 0x345 */
    expect_l(r.s, 0, 0x345, 7);
    r.s = -2048;
    l = r.s;
    expect_l(l, 0, 0x0800, 8);
    expect(r.s < 0, 0, 9);
    expect(r.mid > 0, 1, 10);
    f = 3.75;
    r.s = f;
    expect_l(r.s, 0, 3, 11);
    f = r.mid;
    expect((int)f, 0xA5, 12);
    r.mid += 0x60;
    expect_l(r.mid, 0, 0x05, 13);
    r.mid--;
    r.mid--;
    expect_l(r.mid, 0, 0x03, 14);
    expect((int)r.before, 1, 15);
    expect((int)r.after, 2, 16);
    gr = r;
    gr.t = -5;
    expect_l(gr.t * 3L, 0, 0x2FF1, 17);
    expect_l(gr.s, 0, 3, 18);
    expect_l(r.t, 0, 0x0800, 19);
    return finish();
}
