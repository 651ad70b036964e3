/* Unsigned long and long values tested against constants at the word
   boundaries in if statements and loops, where the compare of the high
   word alone decides some cases and the low word decides the others. */
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

int bucket(unsigned long v)
{
    if (v < 0x100)
        return 0;
    if (v <= 0xFFFF)
        return 1;
    if (v < 0x10000000)
        return 2;
    if (v != 0xFFFFFFFF)
        return 3;
    return 4;
}

int sbucket(long v)
{
    if (v < -65536)
        return 0;
    if (v < 0)
        return 1;
    if (v == 0)
        return 2;
    if (v > 65535)
        return 4;
    return 3;
}

int main(void)
{
    unsigned long u;
    int n;
    init_io();
    expect(bucket(0xFF), 0, 1);
    expect(bucket(0x100), 1, 2);
    expect(bucket(0xFFFF), 1, 3);
    expect(bucket(0x10000), 2, 4);
    expect(bucket(0x0FFFFFFF), 2, 5);
    expect(bucket(0x10000000), 3, 6);
    expect(bucket(0xFFFFFFFE), 3, 7);
    expect(bucket(0xFFFFFFFF), 4, 8);
    expect(bucket(0x000100FF), 2, 9);
    expect(sbucket(-65537), 0, 10);
    expect(sbucket(-65536), 1, 11);
    expect(sbucket(-1), 1, 12);
    expect(sbucket(0), 2, 13);
    expect(sbucket(0x8000), 3, 14);
    expect(sbucket(65535), 3, 15);
    expect(sbucket(65536), 4, 16);
    expect(sbucket(0x80000000), 0, 17);
    n = 0;
    for (u = 0xFFF0; u < 0x10010; u += 8)
        ++n;
    expect(n, 4, 18);
    n = 0;
    for (u = 0xFFFFFFF0; u >= 0xFFFFFFE0; u -= 4)
        ++n;
    expect(n, 5, 19);
    return finish();
}
