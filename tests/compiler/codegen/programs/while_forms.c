/* while loops with empty bodies, assignments in conditions and pointers
   as conditions. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

char text[] = "abcabc";

int main(void)
{
    char *p = text;
    int n = 0, c;
    init_io();
    while (*p++ != 'c')
        ;
    expect(p - text, 3, 1);
    p = text;
    while ((c = *p++) != 0)
        if (c == 'a') n++;
    expect(n, 2, 2);
    n = 5;
    while (n)
        n--;
    expect(n, 0, 3);
    p = text + 6;
    while (p > text && *--p != 'a')
        ;
    expect(p - text, 3, 4);
    return finish();
}
