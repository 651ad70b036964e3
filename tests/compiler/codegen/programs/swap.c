/* Addresses of locals passed down and written through. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void swap(int *a, int *b) { int t = *a; *a = *b; *b = t; }
void bump(char *c) { (*c)++; ++*c; *c += 1; }
void split(int v, int *hi, int *lo) { *hi = v >> 8 & 0xFF; *lo = v & 0xFF; }

int main(void)
{
    int x = 1, y = 2, h, l;
    char c = 10;
    init_io();
    swap(&x, &y);
    expect(x * 10 + y, 21, 1);
    bump(&c);
    expect(c, 13, 2);
    split(0x1234, &h, &l);
    expect(h, 0x12, 3);
    expect(l, 0x34, 4);
    return finish();
}
