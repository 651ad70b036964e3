/* && and || with long and float operands whose right side has side
   effects: the right side runs only when the left does not decide, and
   a long or float value that is zero only in one word still counts. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

int calls;
long lhit(long v) { ++calls; return v; }
float fhit(float v) { ++calls; return v; }

int main(void)
{
    long l0 = 0, lhi = 0x10000, llo = 1;
    float f0 = 0, fneg = -0.0, ftiny = 1e-30;
    int r;
    init_io();
    calls = 0;
    r = l0 && lhit(1);
    expect(r, 0, 1);
    expect(calls, 0, 2);
    r = lhi && lhit(0x20000);
    expect(r, 1, 3);
    expect(calls, 1, 4);
    r = llo || lhit(0);
    expect(r, 1, 5);
    expect(calls, 1, 6);
    r = l0 || lhit(0x80000000);
    expect(r, 1, 7);
    expect(calls, 2, 8);
    r = f0 || fhit(0.0);
    expect(r, 0, 9);
    expect(calls, 3, 10);
    r = fneg || ftiny;
    expect(r, 1, 11);
    r = ftiny && fhit(-1e-30);
    expect(r, 1, 12);
    expect(calls, 4, 13);
    r = fneg && fhit(1.0);
    expect(r, 0, 14);
    expect(calls, 4, 15);
    r = 0;
    while (lhi && r < 5) {
        lhi >>= 4;
        ++r;
    }
    expect(r, 5, 16);
    expect_l(lhi, 0, 0, 17);
    r = !lhi || !lhit(7);
    expect(r, 1, 18);
    expect(calls, 4, 19);
    return finish();
}
