/* 32-bit multiply, divide, remainder and shifts, signed and unsigned. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    int *w = (int *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

long gl = 123456789;
unsigned long gu = 0xF0000000;

int main(void)
{
    long a = 100000, b = -7, r;
    unsigned long u = 4000000000;
    int n = 4;
    unsigned k = 36;
    init_io();
    expect_l(a * 3, 0x0004, 0x93E0, 1);
    expect_l(a * b, 0xFFF5, 0x51A0, 2);
    expect_l(a * a, 0x540B, 0xE400, 3);      /* low 32 bits of 10^10 */
    expect_l(gl / 1000, 0x0001, 0xE240, 4);  /* 123456 */
    expect_l(gl % 1000, 0x0000, 0x0315, 5);  /* 789 */
    expect_l(a / b, 0xFFFF, 0xC833, 6);      /* -14285, toward zero */
    expect_l(a % b, 0x0000, 0x0005, 7);
    r = -a;
    expect_l(r % 7, 0xFFFF, 0xFFFB, 8);      /* -5: the dividend's sign */
    expect_l(u / 3, 0x4F79, 0x0D55, 9);      /* 1333333333 */
    expect_l(u % 7, 0x0000, 0x0003, 10);
    expect_l(a / 0, 0xFFFF, 0xFFFF, 11);
    expect_l(a << 4, 0x0018, 0x6A00, 12);
    expect_l(a >> n, 0x0000, 0x186A, 13);
    expect_l(b >> 1, 0xFFFF, 0xFFFC, 14);
    expect_l(gu >> 28, 0x0000, 0x000F, 15);
    expect_l(gu >> k, 0, 0, 16);
    expect_l(1L << 31, 0x8000, 0x0000, 17);
    expect_l(b >> k, 0xFFFF, 0xFFFF, 18);
    expect_l(gl * 10 / 10, 0x075B, 0xCD15, 19);
    expect((int)(a / 1000), 100, 20);
    return finish();
}
