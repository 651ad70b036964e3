/* func pointers */
typedef int (*binop)(int, int);

static int plus(int a, int b) { return a + b; }
static int minus(int a, int b) { return a - b; }
static int times(int a, int b) { return a * b; }

static binop table[3];

int apply(binop f, int a, int b)
{
    return (*f)(a, b);
}

int main(void)
{
    int i, acc = 1;
    table[0] = plus;
    table[1] = minus;
    table[2] = times;
    for (i = 0; i < 3; i++)
        acc = apply(table[i], acc, i + 2);
    return acc;
}
