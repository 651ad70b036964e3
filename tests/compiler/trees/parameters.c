struct s3 { char a, b, c; };

int arrays(int a[], char m[4][2], int n)
{
    return a[n] + m[1][1];
}

int mixed(char c, long l, struct s3 s, float f, int *p)
{
    return c + (int)l + s.b + (int)f + *p;
}

int (*pick(int k))(int, int)
{
    return k ? 0 : 0;
}

void calls(void)
{
    struct s3 v;
    int a[3];
    char m[4][2];
    mixed('x', 1, v, 2, a);
    arrays(a, m, 2);
    pick(1)(2, 3);
}
