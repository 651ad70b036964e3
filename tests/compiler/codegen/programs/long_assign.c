/* Assignment operators and increments on 32-bit objects, directly, through
   pointers whose address is computed once, and inside arrays. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    int *w = (int *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

long gl;
unsigned long arr[4];
int calls;

int next(void) { return calls++; }

int main(void)
{
    long a = 0xFFFF, old;
    unsigned long u = 0;
    long *p = &gl;
    init_io();
    a += 1;
    expect_l(a, 1, 0, 1);
    a -= 2;
    expect_l(a, 0, 0xFFFE, 2);
    a *= 0x10001;
    expect_l(a, 0xFFFE, 0xFFFE, 3);
    a /= 2;
    expect_l(a, 0xFFFF, 0x7FFF, 4);
    a %= 0x10000;
    expect_l(a, 0xFFFF, 0x7FFF, 5);
    a = 0x12345678;
    a &= 0xFFFF;
    expect_l(a, 0, 0x5678, 6);
    a |= 0x10000000;
    expect_l(a, 0x1000, 0x5678, 7);
    a ^= 0x10000001;
    expect_l(a, 0, 0x5679, 8);
    a <<= 16;
    expect_l(a, 0x5679, 0, 9);
    a >>= 20;
    expect_l(a, 0, 0x0567, 10);
    expect_l(a += 1, 0, 0x0568, 11);
    /* postfix gives the old value, prefix the new */
    u = 0xFFFF;
    old = u++;
    expect_l(old, 0, 0xFFFF, 20);
    expect_l(u, 1, 0, 21);
    old = u--;
    expect_l(old, 1, 0, 22);
    expect_l(u, 0, 0xFFFF, 23);
    expect_l(++u, 1, 0, 24);
    expect_l(--u, 0, 0xFFFF, 25);
    u = 0;
    u--;
    expect_l(u, 0xFFFF, 0xFFFF, 26);
    /* through pointers: the address is computed once */
    *p = 5;
    expect_l((*p)++, 0, 5, 30);
    expect_l(gl, 0, 6, 31);
    calls = 0;
    arr[next()] += 7;
    arr[next()]++;
    arr[next()] -= 1;
    expect(calls, 3, 32);
    expect_l(arr[0], 0, 7, 33);
    expect_l(arr[1], 0, 1, 34);
    expect_l(arr[2], 0xFFFF, 0xFFFF, 35);
    expect_l(arr[3], 0, 0, 36);
    arr[3] = 0x8000;
    arr[3] <<= 1;
    arr[3] *= arr[0];
    expect_l(arr[3], 0x0007, 0, 37);
    return finish();
}
