/* 10x10 integer matrix multiply. */
#define N 10
static int a[N][N], b[N][N], c[N][N];

int bench(void)
{
    int i, j, k, sum;
    long check = 0;
    for (i = 0; i < N; i++)
        for (j = 0; j < N; j++) {
            a[i][j] = i + j;
            b[i][j] = i - j;
        }
    for (i = 0; i < N; i++)
        for (j = 0; j < N; j++) {
            sum = 0;
            for (k = 0; k < N; k++)
                sum += a[i][k] * b[k][j];
            c[i][j] = sum;
        }
    for (i = 0; i < N; i++)
        for (j = 0; j < N; j++)
            check += c[i][j];
    return check != 8250L;
}

int main(void) { return bench(); }
