/* Long and float locals and parameters far from the stack pointer, past
   the reach of short offsets, next to a large local array. */
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

long far_args(char pad[1], long a, float b, long c, float d, long e)
{
    char big[200];
    long x = a + c;
    float y = b * d;
    big[0] = 1;
    big[199] = 2;
    x += e;
    y -= big[199];
    return x + (long)y + big[0];
}

int main(void)
{
    long before = 0x11112222;
    char buf[300];
    float mid = 1.5;
    long after = -3;
    unsigned long ua[8];
    int i;
    init_io();
    buf[0] = 3;
    buf[299] = 4;
    for (i = 0; i < 8; ++i)
        ua[i] = 0x01010101UL * i;
    after *= before;
    mid += after;
    expect_l(before, 0x1111, 0x2222, 1);
    expect_l(after, 0xCCCC, 0x999A, 2);
    expect_f(mid, 0xCE4C, 0xCD9A, 3);
    expect_l(ua[7], 0x0707, 0x0707, 4);
    expect_l(ua[3] + ua[4], 0x0707, 0x0707, 5);
    expect(buf[0] + buf[299], 7, 6);
    expect_l(far_args(buf, 100000, 2.5, -1, 4.0, 0x10000), 0x0002, 0x86A8, 7);
    return finish();
}
