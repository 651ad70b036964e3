/* pointer arith */
long table[8];

int distance(long *a, long *b)
{
    return b - a;
}

long *middle(long *lo, long *hi)
{
    return lo + (hi - lo) / 2;
}

int main(void)
{
    long *p = table, *q = &table[7];
    *middle(p, q) = 5L;
    p += 2;
    q--;
    return distance(p, q) + (int)table[3];
}
