/* Increments and decrements of long and unsigned long objects: carries and
   borrows across the word boundary, prefix and postfix values, through
   pointers and array elements, and pointer steps over long elements. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

long arr[4] = {0xFFFF, 0x10000, -1, 0x7FFFFFFF};
unsigned long gu = 0xFFFFFFFF;

int main(void)
{
    long x = 0x0000FFFF;
    unsigned long u = 0;
    long *p = arr;
    long old;
    int k = 2;
    init_io();
    expect_l(x++, 0x0000, 0xFFFF, 1);
    expect_l(x, 0x0001, 0x0000, 2);
    expect_l(x--, 0x0001, 0x0000, 3);
    expect_l(x, 0x0000, 0xFFFF, 4);
    expect_l(++x, 0x0001, 0x0000, 5);
    expect_l(--x, 0x0000, 0xFFFF, 6);
    expect_l(u--, 0, 0, 7);
    expect_l(u, 0xFFFF, 0xFFFF, 8);
    expect_l(++u, 0, 0, 9);
    expect_l(gu++, 0xFFFF, 0xFFFF, 10);
    expect_l(gu, 0, 0, 11);
    --gu;
    expect_l(gu, 0xFFFF, 0xFFFF, 12);
    /* through pointers and indexes */
    old = (*p)++;
    expect_l(old, 0, 0xFFFF, 20);
    expect_l(arr[0], 1, 0, 21);
    --p[1];
    expect_l(arr[1], 0, 0xFFFF, 22);
    expect_l(arr[k]++, 0xFFFF, 0xFFFF, 23);
    expect_l(arr[2], 0, 0, 24);
    expect_l(--arr[3], 0x7FFF, 0xFFFE, 25);
    /* pointer steps are four bytes */
    p++;
    expect_l(*p, 0, 0xFFFF, 30);
    expect_l(*++p, 0, 0, 31);
    expect_l(*p++, 0, 0, 32);
    expect_l(*p, 0x7FFF, 0xFFFE, 33);
    expect(p - arr, 3, 34);
    expect((char *)p - (char *)arr, 12, 35);
    expect_l(*--p + 1, 0, 1, 36);
    /* the value in a condition */
    x = 1;
    k = 0;
    while (x--)
        ++k;
    expect(k, 1, 40);
    expect_l(x, 0xFFFF, 0xFFFF, 41);
    k = 0;
    x = -3;
    while (++x)
        ++k;
    expect(k, 2, 42);
    return finish();
}
