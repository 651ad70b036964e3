/* Results of long and float compares used as int values in arithmetic,
   stored, passed and summed; each result is exactly 0 or 1. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

int sign_l(long v) { return (v > 0) - (v < 0); }
int sign_f(float v) { return (v > 0) - (v < 0); }
int count_in(long lo, long hi, long *a, int n)
{
    int c = 0;
    while (n--) {
        c += *a >= lo && *a <= hi;
        ++a;
    }
    return c;
}

long vals[6] = {-100000, -1, 0, 65535, 65536, 0x7FFFFFFF};

int main(void)
{
    float f = -0.001;
    long l = 0x10000;
    int r;
    init_io();
    expect(sign_l(-100000), -1, 1);
    expect(sign_l(0), 0, 2);
    expect(sign_l(0x10000), 1, 3);
    expect(sign_f(f), -1, 4);
    expect(sign_f(0.0), 0, 5);
    expect(sign_f(1e-30), 1, 6);
    r = (l > 0xFFFF) * 4 + (l == 0x10000) * 2 + (l != 0);
    expect(r, 7, 7);
    r = (f < 0) + (f > -0.01) + (f == -0.001);
    expect(r, 3, 8);
    expect(count_in(0, 65535, vals, 6), 2, 9);
    expect(count_in(-1, 65536, vals, 6), 4, 10);
    expect(count_in(-2147483647 - 1, 2147483647, vals, 6), 6, 11);
    expect_l((long)(l >= 0x10000) << 20, 0x0010, 0, 12);
    return finish();
}
