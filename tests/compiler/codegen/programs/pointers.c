/* Pointers and arrays: indexing, walking, differences, pointers to
   pointers and stores through computed addresses. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int tab[10];
char text[8];

int sum(int *p, int n)
{
    int s = 0;
    while (n-- > 0)
        s += *p++;
    return s;
}

void fill(char *d, char c, int n)
{
    while (n--)
        *d++ = c;
}

int main(void)
{
    int i, local[5], *p, **pp, v;
    char *q;
    init_io();
    for (i = 0; i < 10; i++)
        tab[i] = i * 3;
    expect(tab[4], 12, 1);
    expect(sum(tab, 10), 135, 2);
    p = &tab[9];
    expect(*p, 27, 3);
    expect(p - tab, 9, 4);
    p -= 3;
    expect(*p, 18, 5);
    expect(p[-1], 15, 6);
    expect(*(p + 2), 24, 7);
    pp = &p;
    **pp = 100;
    expect(tab[6], 100, 8);
    for (i = 0; i < 5; i++)
        local[i] = 10 - i;
    expect(local[0] + local[4], 16, 9);
    i = 2;
    local[i + 1] += 5;
    expect(local[3], 12, 10);
    local[i] -= local[i - 1];
    expect(local[2], -1, 11);
    fill(text, 'x', 7);
    text[7] = 0;
    expect(text[6], 'x', 12);
    q = text;
    v = 0;
    while (*q++)
        v++;
    expect(v, 7, 13);
    q = &text[3];
    *q-- = 'a';
    *q = 'b';
    expect(text[2], 'b', 14);
    expect(text[3], 'a', 15);
    p = tab;
    p++;
    ++p;
    expect(*p, 6, 16);
    expect(p > tab, 1, 17);
    expect(p == &tab[2], 1, 18);
    p = 0;
    expect(p == 0, 1, 19);
    return finish();
}
