/* Loops counted in chars, unsigned wrap-around ending the loop. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    unsigned char u;
    char c;
    int n = 0;
    init_io();
    for (u = 250; u != 4; u++)
        n++;
    expect(n, 10, 1);
    n = 0;
    for (c = 10; c >= -10; c -= 5)
        n++;
    expect(n, 5, 2);
    n = 0;
    u = 0;
    do {
        n += u;
    } while (++u);
    expect(n, 32640, 3);
    return finish();
}
