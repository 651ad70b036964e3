/* prototype mix */
int twice();
int twice(v)
int v;
{
    return v * 2;
}

static int helper(int a, long b, char c);

int main(void)
{
    return helper(twice(3), 5L, 'x');
}

static int helper(int a, long b, char c)
{
    return a + (int)b + c;
}
