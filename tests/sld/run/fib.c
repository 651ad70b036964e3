/* Stepped under the debugger: a recursive function whose line pushes the
   first call's result and adds it with ADDD ,S++, so S moves within the
   line by an indexed operand as well. */
int calls;

int fib(int n)
{
    calls++;
    if (n < 2)
        return n;
    return fib(n - 1) + fib(n - 2);
}

int main(void)
{
    int v;
    v = fib(6);
    return v;
}
