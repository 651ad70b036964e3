/* Arrays of pointers to long and float objects, pointers to pointers,
   two-dimensional long arrays and row pointers, and the values read and
   written through them. */
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

long grid[3][4] = {
    {1, 2, 3, 4},
    {0x10000, 0x20000, 0x30000, 0x40000},
    {-1, -2, -3, -4}
};
float f1 = 1.5, f2 = -2.25;
float *fp[2] = {&f1, &f2};

long row_sum(long *row, int n)
{
    long s = 0;
    while (n--)
        s += *row++;
    return s;
}

void bump(long **pp) { **pp += 0x8000; ++*pp; }

int main(void)
{
    long *rows[3];
    long **pp;
    long *cur = grid[1];
    float **fpp = fp;
    int i;
    init_io();
    for (i = 0; i < 3; ++i)
        rows[i] = grid[i];
    expect_l(row_sum(rows[0], 4), 0, 10, 1);
    expect_l(row_sum(rows[1], 4), 0x000A, 0, 2);
    expect_l(row_sum(grid[2], 4), 0xFFFF, 0xFFF6, 3);
    pp = &rows[1];
    expect_l((*pp)[2], 0x0003, 0, 4);
    expect_l(pp[1][3], 0xFFFF, 0xFFFC, 5);
    bump(&cur);
    bump(&cur);
    expect_l(grid[1][0], 0x0001, 0x8000, 6);
    expect_l(grid[1][1], 0x0002, 0x8000, 7);
    expect(cur - grid[1], 2, 8);
    expect_l(*cur, 0x0003, 0, 9);
    expect((char *)grid[2] - (char *)grid[0], 32, 10);
    expect_f(**fpp + *fpp[1], 0xBF40, 0, 11);
    *fpp[1] *= **fpp;
    expect_f(f2, 0xC058, 0, 12);
    ++fpp;
    **fpp = 0.5;
    expect_f(f2, 0x3F00, 0, 13);
    return finish();
}
