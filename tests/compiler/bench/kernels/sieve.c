/* Sieve of Eratosthenes over 2000 numbers, three times. */
static char flags[2000];

static int sieve(void)
{
    int i, k, count = 0;
    for (i = 0; i < 2000; i++)
        flags[i] = 1;
    for (i = 2; i < 2000; i++) {
        if (flags[i]) {
            for (k = i + i; k < 2000; k += i)
                flags[k] = 0;
            count++;
        }
    }
    return count;
}

int bench(void)
{
    int n, r = 0;
    for (n = 0; n < 3; n++)
        r = sieve();
    return r != 303;
}

int main(void) { return bench(); }
