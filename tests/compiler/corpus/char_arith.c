/* char arith */
char upper(char c)
{
    if (c >= 'a' && c <= 'z')
        c -= 32;
    return c;
}

int count_char(const char *s, char c)
{
    int n = 0;
    while (*s)
        if (*s++ == c)
            n++;
    return n;
}

int main(void)
{
    char s[8];
    s[0] = upper('q');
    s[1] = 0;
    return s[0] + count_char("banana", 'a');
}
