/* A 3x3 determinant by cofactors and a transposition in place. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int m[3][3];
int det(void)
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
         - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
         + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}
int main(void)
{
    int i, j, t;
    init_io();
    m[0][0] = 2; m[0][1] = -3; m[0][2] = 1;
    m[1][0] = 2; m[1][1] = 0; m[1][2] = -1;
    m[2][0] = 1; m[2][1] = 4; m[2][2] = 5;
    expect(det(), 49, 1);
    for (i = 0; i < 3; i++)
        for (j = i + 1; j < 3; j++) {
            t = m[i][j];
            m[i][j] = m[j][i];
            m[j][i] = t;
        }
    expect(m[0][1], 2, 2);
    expect(det(), 49, 3);
    return finish();
}
