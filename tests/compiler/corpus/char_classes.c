/* char classes */
int is_digit(int c) { return c >= '0' && c <= '9'; }
int is_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
int is_alpha(int c) { return (c | 32) >= 'a' && (c | 32) <= 'z'; }

int atoi16(const char *s)
{
    int sign = 1, v = 0;
    while (is_space(*s))
        s++;
    if (*s == '-') {
        sign = -1;
        s++;
    } else if (*s == '+')
        s++;
    while (is_digit(*s))
        v = v * 10 + (*s++ - '0');
    return sign * v;
}

int main(void)
{
    return atoi16("  -1234") + is_alpha('Q');
}
