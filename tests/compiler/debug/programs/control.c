/* Control flow for the debugger's statement and function records: a
   switch dispatched through a jump table, functions without locals,
   recursion, early returns, loops and float arithmetic from the runtime. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

/* sx F:classify:_classify:(typ11)(typ11) */
/* sx L:classify:k:4:(typ11) */
int classify(int k)
{
    int r;
    switch (k) {
    case 1: r = 10; break;
    case 2: r = 20; break;
    case 3: r = 30; break;
    case 4: r = 40; break;
    case 5: r = 50; break;
    case 6: r = 60; break;
    default: r = -1; break;
    }
    return r;
}

/* frameless twice */
/* sx L:twice:v:2:(typ1) */
long twice(long v)
{
    return v + v;
}

/* frameless fact */
/* sx L:fact:n:2:(typ11) */
int fact(int n)
{
    if (n <= 1)
        return 1;
    return n * fact(n - 1);
}

/* frameless nothing */
void nothing(void)
{
}

/* sx L:average:a:2:(typ7) */
float average(float a, float b)
{
    return (a + b) / 2;
}

int main(void)
{
    int i, sum = 0;
    float f;
    init_io();
    for (i = 0; i <= 7; i++)
        sum += classify(i);
    expect(sum, 208, 1);
    expect(twice(20000L) == 40000L, 1, 2);
    expect((int)(twice(70000L) / 10), 14000, 3);
    expect(fact(6), 720, 4);
    nothing();
    f = average(3.0f, 4.0f);
    expect((int)(f * 2), 7, 5);
    i = 0;
    do i++; while (i < 5);
    expect(i, 5, 6);
    return finish();
}
