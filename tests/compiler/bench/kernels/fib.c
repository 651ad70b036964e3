/* Recursive Fibonacci. */
static int fib(int n)
{
    if (n < 2)
        return n;
    return fib(n - 1) + fib(n - 2);
}

int bench(void) { return fib(18) != 2584; }

int main(void) { return bench(); }
