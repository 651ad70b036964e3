/* Compound assignments and increments on locals, globals, array
   elements and members reached through pointers; the value is used. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct rec { int n; char c; int a[3]; };
struct rec g;
int arr[4];

int main(void)
{
    struct rec r, *p;
    int i = 1, v;
    int *q;
    init_io();
    p = &r;
    p->n = 10;
    p->c = 5;
    p->a[0] = p->a[1] = p->a[2] = 0;
    p->n += 5;
    p->c -= 7;
    p->a[i] |= 12;
    p->a[i + 1] ^= 3;
    p->a[i] &= 6;
    expect(r.n, 15, 1);
    expect(r.c, -2, 2);
    expect(r.a[1], 4, 3);
    expect(r.a[2], 3, 4);
    v = (p->n -= 20);
    expect(v, -5, 5);
    g.n = 1;
    v = g.n++ + g.n;
    expect(g.n, 2, 6);
    arr[2] = 7;
    q = arr;
    v = q[2]++;
    expect(v, 7, 7);
    expect(arr[2], 8, 8);
    v = --q[2];
    expect(v, 7, 9);
    v = ++*q;
    expect(v, 1, 10);
    arr[i * 2 + 1] += 100;
    expect(arr[3], 100, 11);
    arr[3] *= 3;
    expect(arr[3], 300, 12);
    arr[3] /= 7;
    expect(arr[3], 42, 13);
    arr[3] %= 5;
    expect(arr[3], 2, 14);
    arr[3] <<= 3;
    expect(arr[3], 16, 15);
    p->a[2] >>= 1;
    expect(r.a[2], 1, 16);
    q += 3;
    expect(*q, 16, 17);
    q -= 2;
    expect(q - arr, 1, 18);
    return finish();
}
