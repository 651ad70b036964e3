/* Selection sort of chars and a check of the order. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
char s[] = "zyxwvutsrqponmlkjihgfedcba";
int main(void)
{
    int i, j, m, n = 26;
    char t;
    init_io();
    for (i = 0; i < n - 1; i++) {
        m = i;
        for (j = i + 1; j < n; j++)
            if (s[j] < s[m]) m = j;
        t = s[i];
        s[i] = s[m];
        s[m] = t;
    }
    expect(s[0], 'a', 1);
    expect(s[25], 'z', 2);
    for (i = 1; i < n; i++)
        if (s[i] != s[i - 1] + 1) expect(i, 0, 3);
    return finish();
}
