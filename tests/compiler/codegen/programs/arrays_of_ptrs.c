/* Arrays of pointers and pointers to arrays' elements. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int a = 1, b = 2, c = 3;
int *ptrs[3];
int main(void)
{
    int i, s = 0;
    int **pp;
    init_io();
    ptrs[0] = &a;
    ptrs[1] = &b;
    ptrs[2] = &c;
    for (i = 0; i < 3; i++)
        s += *ptrs[i];
    expect(s, 6, 1);
    pp = ptrs + 1;
    **pp = 20;
    expect(b, 20, 2);
    *pp[1] = 30;
    expect(c, 30, 3);
    return finish();
}
