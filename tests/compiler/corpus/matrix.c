/* matrix */
#define N 3

static int a[N][N], b[N][N], c[N][N];

void multiply(void)
{
    int i, j, k;
    for (i = 0; i < N; i++)
        for (j = 0; j < N; j++) {
            c[i][j] = 0;
            for (k = 0; k < N; k++)
                c[i][j] += a[i][k] * b[k][j];
        }
}

int main(void)
{
    int i;
    for (i = 0; i < N; i++) {
        a[i][i] = 2;
        b[i][N - 1 - i] = i + 1;
    }
    multiply();
    return c[0][2] + c[2][0];
}
