/* switch as a jump table and as a compare chain, with and without default. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int dense(int v)
{
    switch (v) {
    case 0: return 10;
    case 1: return 11;
    case 2: return 12;
    case 4: return 14;
    case 5: return 15;
    case 7: return 17;
    default: return -1;
    }
}

int shifted(int v)
{
    int r = 0;
    switch (v) {
    case -3: r = 1; break;
    case -2: r = 2; break;
    case -1: r = 3;
    case 0: r += 4; break;
    case 1: r = 5; break;
    }
    return r;
}

int sparse(int v)
{
    switch (v) {
    case 0: return 1;
    case 10: return 2;
    case 20: return 3;
    case 30: return 4;
    case 40: return 5;
    }
    return 0;
}

int bychar(char c)
{
    switch (c) {
    case 'a': return 1;
    case 'b': return 2;
    case 'c': return 3;
    case 'd': return 4;
    case 'e': return 5;
    case -1: return 6;
    default: return 0;
    }
}

int main(void)
{
    init_io();
    expect(dense(0), 10, 1);
    expect(dense(2), 12, 2);
    expect(dense(3), -1, 3);
    expect(dense(7), 17, 4);
    expect(dense(8), -1, 5);
    expect(dense(-1), -1, 6);
    expect(dense(-32767 - 1), -1, 7);
    expect(shifted(-3), 1, 8);
    expect(shifted(-1), 7, 9);
    expect(shifted(0), 4, 10);
    expect(shifted(1), 5, 11);
    expect(shifted(2), 0, 12);
    expect(shifted(-4), 0, 13);
    expect(sparse(30), 4, 14);
    expect(sparse(31), 0, 15);
    expect(bychar('c'), 3, 16);
    expect(bychar(-1), 6, 17);
    expect(bychar('z'), 0, 18);
    return finish();
}
