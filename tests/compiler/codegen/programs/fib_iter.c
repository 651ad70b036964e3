/* Fibonacci numbers iteratively in a local array and in globals. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int memo[24];
int main(void)
{
    int f[20], i;
    init_io();
    f[0] = 0;
    f[1] = 1;
    for (i = 2; i < 20; i++)
        f[i] = f[i - 1] + f[i - 2];
    expect(f[19], 4181, 1);
    memo[0] = 0;
    memo[1] = 1;
    for (i = 2; i < 24; i++)
        memo[i] = memo[i - 1] + memo[i - 2];
    expect(memo[23], 28657, 2);
    return finish();
}
