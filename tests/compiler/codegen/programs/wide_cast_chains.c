/* Chains of casts through every arithmetic type: each step converts from
   the previous type, so bits lost on the way stay lost and signs follow
   the type at each step. */
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

int main(void)
{
    long l = -70000;
    float f = 65537.75;
    unsigned long ul = 0x8001FFFF;
    init_io();
    expect_l((long)(int)l, 0xFFFF, 0xEE90, 1);
    expect_l((long)(unsigned)l, 0x0000, 0xEE90, 2);
    expect_l((long)(char)l, 0xFFFF, 0xFF90, 3);
    expect_l((long)(unsigned char)l, 0, 0x90, 4);
    expect_l((unsigned long)(float)l, 0, 0, 5);
    expect_l((long)(float)(unsigned)l, 0, 0xEE90, 6);
    expect_l((long)f, 0x0001, 0x0001, 7);
    expect_l((long)(int)(long)f, 0, 1, 8);
    expect_f((float)(long)f, 0x4780, 0x0080, 9);
    expect_f((float)(int)(long)f, 0x3F80, 0, 10);
    expect_f((float)(char)ul, 0xBF80, 0, 11);
    expect_f((float)(unsigned char)ul, 0x437F, 0, 12);
    expect_f((float)(int)ul, 0xBF80, 0, 13);
    expect_f((float)(unsigned)ul, 0x477F, 0xFF00, 14);
    expect_f((float)(long)ul, 0xCEFF, 0xFC00, 15);
    expect_f((float)ul, 0x4F00, 0x0200, 16);
    expect_l((long)(double)(float)ul, 0x7FFF, 0xFFFF, 17);  /* above the range: saturates */
    expect_l((unsigned long)(float)ul, 0x8002, 0x0000, 18);
    return finish();
}
