/* Float values compared with constants in branch conditions, with == and
   != in loops, and compares whose constant is an integer; with and
   without the optimiser the branch taken must be the same. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

int grade(float v)
{
    if (v >= 90.0)
        return 4;
    if (v >= 75)
        return 3;
    if (v > 50.5)
        return 2;
    if (v != 0)
        return 1;
    return 0;
}

int main(void)
{
    float x = 0;
    int n = 0;
    init_io();
    expect(grade(100.0), 4, 1);
    expect(grade(90.0), 4, 2);
    expect(grade(89.99), 3, 3);
    expect(grade(75.0), 3, 4);
    expect(grade(50.5), 1, 5);
    expect(grade(50.500004), 2, 6);
    expect(grade(-0.0), 0, 7);
    expect(grade(-1e-30), 1, 8);
    while (x != 2.0) {
        x += 0.25;
        ++n;
    }
    expect(n, 8, 9);
    if (x == 2)
        n = 100;
    expect(n, 100, 10);
    if (!(x < 2) && !(x > 2))
        n = 200;
    expect(n, 200, 11);
    return finish();
}
