/* Stepped under the debugger: a function that recurses five deep, and an
   assembler routine (twice.s09) that calls back into C. */
int calls;
int noted;

int fact(int n)
{
    int r;
    calls++;
    if (n <= 1)
        r = 1;
    else
        r = n * fact(n - 1);
    return r;
}

extern int twice(int v);

void note(int v)
{
    noted = v;
}

int main(void)
{
    int v, w;
    v = fact(5);
    w = twice(v);
    calls = w;
    return 0;
}
