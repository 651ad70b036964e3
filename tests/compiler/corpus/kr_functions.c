/* kr functions */
int add(a, b)
int a, b;
{
    return a + b;
}

long scale(v, f)
long v;
int f;
{
    return v * f;
}

char first(s)
char *s;
{
    return *s;
}

int main()
{
    long r;
    r = scale(100L, add(2, 3));
    return (int)(r / 10) + first("x");
}
