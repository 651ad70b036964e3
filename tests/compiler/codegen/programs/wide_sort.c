/* Insertion sorts of long, unsigned long and float arrays: signed against
   unsigned order of the same bits, and floats of both signs. */
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

void sort_l(long *a, int n)
{
    int i, j;
    long t;
    for (i = 1; i < n; ++i) {
        t = a[i];
        for (j = i; j > 0 && a[j - 1] > t; --j)
            a[j] = a[j - 1];
        a[j] = t;
    }
}

void sort_u(unsigned long *a, int n)
{
    int i, j;
    unsigned long t;
    for (i = 1; i < n; ++i) {
        t = a[i];
        for (j = i; j > 0 && a[j - 1] > t; --j)
            a[j] = a[j - 1];
        a[j] = t;
    }
}

void sort_f(float *a, int n)
{
    int i, j;
    float t;
    for (i = 1; i < n; ++i) {
        t = a[i];
        for (j = i; j > 0 && a[j - 1] > t; --j)
            a[j] = a[j - 1];
        a[j] = t;
    }
}

long ls[6] = {70000, -1, 0x7FFFFFFF, 0, -70000, 65535};
unsigned long us[6] = {70000, 0xFFFFFFFF, 0x7FFFFFFF, 0, 0x80000000, 65535};
float fs[6] = {2.5, -0.5, 1e10, -1e10, 0.0, 0.25};

int main(void)
{
    init_io();
    sort_l(ls, 6);
    expect_l(ls[0], 0xFFFE, 0xEE90, 1);
    expect_l(ls[1], 0xFFFF, 0xFFFF, 2);
    expect_l(ls[2], 0, 0, 3);
    expect_l(ls[3], 0, 0xFFFF, 4);
    expect_l(ls[4], 0x0001, 0x1170, 5);
    expect_l(ls[5], 0x7FFF, 0xFFFF, 6);
    sort_u(us, 6);
    expect_l(us[0], 0, 0, 10);
    expect_l(us[1], 0, 0xFFFF, 11);
    expect_l(us[2], 0x0001, 0x1170, 12);
    expect_l(us[3], 0x7FFF, 0xFFFF, 13);
    expect_l(us[4], 0x8000, 0, 14);
    expect_l(us[5], 0xFFFF, 0xFFFF, 15);
    sort_f(fs, 6);
    expect_f(fs[0], 0xD015, 0x02F9, 20);
    expect_f(fs[1], 0xBF00, 0, 21);
    expect_f(fs[2], 0, 0, 22);
    expect_f(fs[3], 0x3E80, 0, 23);
    expect_f(fs[4], 0x4020, 0, 24);
    expect_f(fs[5], 0x5015, 0x02F9, 25);
    return finish();
}
