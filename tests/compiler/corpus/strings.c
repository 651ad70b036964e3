/* strings */
int my_strlen(const char *s)
{
    const char *p = s;
    while (*p)
        p++;
    return p - s;
}

char *my_strcpy(char *d, const char *s)
{
    char *r = d;
    while ((*d++ = *s++) != 0)
        ;
    return r;
}

int my_strcmp(const char *a, const char *b)
{
    for (; *a && *a == *b; a++, b++)
        ;
    return (unsigned char)*a - (unsigned char)*b;
}

int main(void)
{
    char buf[32];
    my_strcpy(buf, "hello");
    return my_strlen(buf) + my_strcmp(buf, "help");
}
