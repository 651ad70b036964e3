/* Increments and decrements of float and double objects: prefix and
   postfix values, through pointers, structure members and array elements,
   past the point where adding one no longer changes the value, and as
   loop counters. */
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

struct s { char c; float f; };

int main(void)
{
    float f = -0.5;
    double d = 16777216.0;
    float arr[3] = {0, 10, 20};
    float *p = arr;
    struct s st;
    struct s *sp = &st;
    float x;
    int n;
    init_io();
    expect_f(f++, 0xBF00, 0, 1);
    expect_f(f, 0x3F00, 0, 2);
    expect_f(--f, 0xBF00, 0, 3);
    expect_f(f--, 0xBF00, 0, 4);
    expect_f(f, 0xBFC0, 0, 5);
    ++d;
    expect_f(d, 0x4B80, 0, 6);                 /* 2^24 + 1 rounds back */
    d--;
    expect_f(d, 0x4B7F, 0xFFFF, 7);
    expect_f((*p)++, 0, 0, 8);
    expect_f(*++p, 0x4120, 0, 9);
    (*p)--;
    expect_f(arr[1], 0x4110, 0, 10);
    x = arr[2]++;
    expect_f(x + arr[2], 0x4224, 0, 11);        /* 20 + 21 */
    st.c = 'q';
    st.f = 2.5;
    expect_f(sp->f++, 0x4020, 0, 12);
    expect_f(++sp->f, 0x4090, 0, 13);
    expect(st.c, 'q', 14);
    n = 0;
    for (x = 0.5; x < 5; x++)
        ++n;
    expect(n, 5, 15);
    expect_f(x, 0x40B0, 0, 16);
    return finish();
}
