int x;
const int K = 2;

void f(void)
{
    for (x = 0 * x; x < K + 0; x = x + 1)
        if (x * 1)
            x |= 0;
}
