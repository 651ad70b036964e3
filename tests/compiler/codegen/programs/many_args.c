/* Many arguments of mixed sizes; the callee finds each at its offset. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int eight(int a, int b, int c, int d, int e, int f, int g, int h)
{
    return a - b + c - d + e - f + g - h;
}

int chars(char a, int b, char c, unsigned char d, int e)
{
    return a + b + c + d + e;
}

int main(void)
{
    init_io();
    expect(eight(1, 2, 3, 4, 5, 6, 7, 8), -4, 1);
    expect(eight(100, 1, 1, 1, 1, 1, 1, 1), 99, 2);
    expect(chars(-1, 1000, -2, 255, 3), 1255, 3);
    return finish();
}
