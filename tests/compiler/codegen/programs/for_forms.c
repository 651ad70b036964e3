/* for loops without parts, with comma expressions and counting down. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    int i, j, s = 0;
    init_io();
    for (i = 0, j = 10; i < j; i++, j--)
        s++;
    expect(s, 5, 1);
    i = 0;
    for (; i < 3;)
        i++;
    expect(i, 3, 2);
    s = 0;
    for (i = 10; i; i--)
        s += i;
    expect(s, 55, 3);
    s = 0;
    for (i = 0; ; i++) {
        if (i > 4) break;
        if (i & 1) continue;
        s += i;
    }
    expect(s, 6, 4);
    return finish();
}
