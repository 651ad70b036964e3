/* sieve */
#define LIMIT 200

static char composite[LIMIT];

int count_primes(void)
{
    int i, j, n = 0;
    for (i = 2; i < LIMIT; i++) {
        if (composite[i])
            continue;
        n++;
        for (j = i * 2; j < LIMIT; j += i)
            composite[j] = 1;
    }
    return n;
}

int main(void)
{
    return count_primes();
}
