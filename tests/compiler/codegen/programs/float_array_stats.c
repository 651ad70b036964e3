/* Float and double arrays handed to functions: sums, means, the largest
   element and its index, a scaled copy, and a dot product with a long
   array converted element by element. */
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

float total(float *a, int n)
{
    float s = 0;
    int i;
    for (i = 0; i < n; ++i)
        s += a[i];
    return s;
}

int argmax(double *a, int n)
{
    int i, best = 0;
    for (i = 1; i < n; ++i)
        if (a[i] > a[best])
            best = i;
    return best;
}

void scale(float *dst, float *src, int n, float k)
{
    while (n--)
        *dst++ = *src++ * k;
}

float dot_l(float *a, long *b, int n)
{
    float s = 0;
    int i;
    for (i = 0; i < n; ++i)
        s += a[i] * b[i];
    return s;
}

float data[5] = {1.5, -2.0, 8.25, 0.25, 2.0};
double dd[4] = {-1e10, -3.0, -2.5, -1e-5};
long weights[5] = {2, 100000, -1, 4, 0};

int main(void)
{
    float copy[5];
    init_io();
    expect_f(total(data, 5), 0x4120, 0, 1);             /* 10 */
    expect_f(total(data, 5) / 5, 0x4000, 0, 2);
    expect(argmax(data, 5), 2, 3);
    expect(argmax(dd, 4), 3, 4);
    scale(copy, data, 5, -0.5);
    expect_f(copy[0], 0xBF40, 0, 5);
    expect_f(copy[2], 0xC084, 0, 6);                    /* -4.125 */
    expect_f(total(copy, 5), 0xC0A0, 0, 7);             /* -5 */
    expect_f(dot_l(data, weights, 5), 0xC843, 0x5110, 8);   /* 3 - 200000 - 8.25 + 1 */
    return finish();
}
