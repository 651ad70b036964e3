/* Remainders and quotients by powers of two for signed and unsigned. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int main(void)
{
    int s = -37;
    unsigned u = 37;
    init_io();
    expect(s / 8, -4, 1);
    expect(s % 8, -5, 2);
    expect(u / 8, 4, 3);
    expect(u % 8, 5, 4);
    expect(s / 1, -37, 5);
    expect(s % 1, 0, 6);
    expect(-s / 16, 2, 7);
    return finish();
}
