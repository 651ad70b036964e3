/* Every loop form with break and continue. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    int i, j, s;
    init_io();
    s = 0;
    for (i = 0; i < 10; i++) {
        if (i == 3) continue;
        if (i == 8) break;
        s += i;
    }
    expect(s, 25, 1);
    s = 0;
    i = 0;
    while (i < 100) {
        i++;
        if (i % 2) continue;
        s += i;
        if (s > 50) break;
    }
    expect(s, 56, 2);
    expect(i, 14, 3);
    s = 0;
    i = 0;
    do {
        i++;
        if (i == 2) continue;
        s += i;
    } while (i < 5);
    expect(s, 13, 4);
    s = 0;
    for (;;) {
        if (++s == 7) break;
    }
    expect(s, 7, 5);
    s = 0;
    for (i = 0; i < 5; i++)
        for (j = 0; j < 5; j++) {
            if (j > i) break;
            s++;
        }
    expect(s, 15, 6);
    i = 10;
    while (i--)
        ;
    expect(i, -1, 7);
    s = 0;
    do s += 2; while (0);
    expect(s, 2, 8);
    return finish();
}
