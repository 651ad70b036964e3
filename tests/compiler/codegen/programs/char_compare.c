/* Comparisons of char values with each other and with constants. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int main(void)
{
    char a = -5, b = 100;
    unsigned char x = 5, y = 250;
    init_io();
    expect(a < b, 1, 1);
    expect(x < y, 1, 2);
    expect(a == -5, 1, 3);
    expect(y == 250, 1, 4);
    expect(a > 'A', 0, 5);
    expect(b >= 'd', 1, 6);
    expect(y > 127, 1, 7);
    expect(a != b, 1, 8);
    return finish();
}
