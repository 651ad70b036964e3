/* Float matrices in two-dimensional arrays and structures: products,
   determinants, transposition and a matrix passed through pointers. */
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

struct mat2 { float m[2][2]; };

struct mat2 mul2(struct mat2 a, struct mat2 b)
{
    struct mat2 r;
    int i, j;
    for (i = 0; i < 2; ++i)
        for (j = 0; j < 2; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j];
    return r;
}

float det3(float (*a)[3])
{
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1])
         - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
         + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

void transpose(float (*a)[3])
{
    int i, j;
    float t;
    for (i = 0; i < 3; ++i)
        for (j = i + 1; j < 3; ++j) {
            t = a[i][j];
            a[i][j] = a[j][i];
            a[j][i] = t;
        }
}

float g3[3][3] = {{2, -1, 0}, {1, 3, 0.5}, {0, 4, -2}};

int main(void)
{
    struct mat2 a, b, c;
    init_io();
    a.m[0][0] = 1; a.m[0][1] = 2; a.m[1][0] = 3; a.m[1][1] = 4;
    b.m[0][0] = 0.5; b.m[0][1] = -1; b.m[1][0] = 1.5; b.m[1][1] = 0;
    c = mul2(a, b);
    expect_f(c.m[0][0], 0x4060, 0, 1);      /* 3.5 */
    expect_f(c.m[0][1], 0xBF80, 0, 2);      /* -1 */
    expect_f(c.m[1][0], 0x40F0, 0, 3);      /* 7.5 */
    expect_f(c.m[1][1], 0xC040, 0, 4);      /* -3 */
    expect_f(det3(g3), 0xC190, 0, 5);       /* -18 */
    transpose(g3);
    expect_f(g3[0][1], 0x3F80, 0, 6);
    expect_f(g3[2][1], 0x3F00, 0, 7);
    expect_f(g3[1][2], 0x4080, 0, 8);
    expect_f(det3(g3), 0xC190, 0, 9);
    return finish();
}
