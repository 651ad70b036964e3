/* Sieve of Eratosthenes up to 1000 and a matrix product. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

char composite[1001];
int m1[3][3], m2[3][3], m3[3][3];

int main(void)
{
    int i, j, k, count = 0, s;
    init_io();
    for (i = 2; i <= 1000; i++)
        if (!composite[i]) {
            count++;
            for (j = i + i; j <= 1000; j += i)
                composite[j] = 1;
        }
    expect(count, 168, 1);
    for (i = 0; i < 3; i++)
        for (j = 0; j < 3; j++) {
            m1[i][j] = i + j;
            m2[i][j] = i == j ? 2 : 0;
        }
    for (i = 0; i < 3; i++)
        for (j = 0; j < 3; j++) {
            s = 0;
            for (k = 0; k < 3; k++)
                s += m1[i][k] * m2[k][j];
            m3[i][j] = s;
        }
    expect(m3[2][1], 6, 2);
    expect(m3[1][2], 6, 3);
    expect(m3[0][0], 0, 4);
    return finish();
}
