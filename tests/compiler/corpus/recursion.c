/* recursion */
unsigned fact(unsigned n)
{
    if (n < 2)
        return 1;
    return n * fact(n - 1);
}

int fib(int n)
{
    return n < 2 ? n : fib(n - 1) + fib(n - 2);
}

int ackermann(int m, int n)
{
    if (m == 0)
        return n + 1;
    if (n == 0)
        return ackermann(m - 1, 1);
    return ackermann(m - 1, ackermann(m, n - 1));
}

int main(void)
{
    return (int)fact(6) + fib(10) + ackermann(1, 2);
}
