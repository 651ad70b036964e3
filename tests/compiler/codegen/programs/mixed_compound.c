/* Assignment operators whose object is char or int and whose right side
   is a long or a float: the operation runs in the wider type. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int gi = 10;
char gc = 100;

int main(void)
{
    int i = 7;
    char c = 3;
    int a[2];
    long l = 100000;
    float f = 2.5;
    init_io();
    i += f;
    expect(i, 9, 1);                  /* 9.5 truncated */
    c += f;
    expect(c, 5, 2);
    a[1] = 4;
    a[c - 4] += f;
    expect(a[1], 6, 3);
    gi /= l;
    expect(gi, 0, 8);
    i = 30000;
    i %= l;
    expect(i, 30000, 9);
    i = 1000;
    i = l / i;
    expect(i, 100, 10);
    i = -5;
    i += l;
    expect(i, -31077, 12);            /* low 16 bits of 99995 */
    gc += l;
    expect(gc, 4, 13);                /* 100100 is 0x18704 */
    return finish();
}
