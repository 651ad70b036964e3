/* Two-dimensional arrays of char and int, rows passed by pointer. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

char grid[4][5];
int cells[3][4];

int row_sum(int *row, int n) { int s = 0; while (n--) s += *row++; return s; }

int main(void)
{
    int i, j;
    init_io();
    for (i = 0; i < 4; i++)
        for (j = 0; j < 5; j++)
            grid[i][j] = 'a' + i * 5 + j;
    expect(grid[3][4], 't', 1);
    expect(grid[1][0], 'f', 2);
    for (i = 0; i < 3; i++)
        for (j = 0; j < 4; j++)
            cells[i][j] = i * j;
    expect(row_sum(cells[2], 4), 12, 3);
    expect(row_sum(&cells[1][1], 3), 6, 4);
    expect(sizeof(grid), 20, 5);
    expect(sizeof(cells[0]), 8, 6);
    return finish();
}
