/* Floats and longs walked through arrays and pointers, in loop conditions,
   and infinities from overflow and division by zero. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

float samples[5] = {1.5, -2.0, 4.25, 0.0, 8.0};
long counts[4] = {10, 20, 30, 40};

float average(float *v, int n)
{
    float s = 0;
    int i;
    for (i = 0; i < n; i++)
        s += *v++;
    return s / n;
}

int main(void)
{
    float big = 3e38, inf, zero = 0;
    float *fp;
    long *lp = counts;
    long n = 5, steps = 0;
    unsigned long t = 0;
    init_io();
    expect(average(samples, 5) == 2.35, 1, 1);   /* both round to 0x40166666 */
    expect((int)(average(samples, 5) * 100), 234, 2);   /* 234.99999 */
    expect((int)average(samples, 4), 0, 3);      /* 3.75 / 4 */
    fp = &samples[4];
    expect(fp[0] > fp[-1], 1, 4);
    fp--;
    expect(*fp == 0, 1, 14);
    while (n--)
        steps++;
    expect((int)steps, 5, 5);
    expect((int)n, -1, 6);
    while (lp < counts + 4)
        t += *lp++;
    expect((int)t, 100, 7);
    inf = big * 10;
    expect(inf > big, 1, 8);
    expect(inf == inf, 1, 9);
    expect(-inf < -big, 1, 10);
    inf = 1 / zero;
    expect(inf > 1e38, 1, 11);
    expect((long)inf == 0x7FFFFFFF, 1, 12);
    expect(samples[1] < samples[0] ? 1 : 0, 1, 13);
    return finish();
}
