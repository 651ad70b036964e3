/* switch with fall-through, default in the middle and a char selector. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int f(int v)
{
    int r = 0;
    switch (v) {
    case 1: r += 1;
    default: r += 10;
    case 2: r += 100;
        break;
    case 3: r = -1;
    }
    return r;
}

int g(unsigned char c)
{
    switch (c) {
    case 200: return 1;
    case 201: return 2;
    case 202: return 3;
    case 203: return 4;
    case 204: return 5;
    case 0: return 6;
    }
    return 0;
}

int main(void)
{
    init_io();
    expect(f(1), 111, 1);
    expect(f(2), 100, 2);
    expect(f(3), -1, 3);
    expect(f(9), 110, 4);
    expect(g(202), 3, 5);
    expect(g(0), 6, 6);
    expect(g(205), 0, 7);
    expect(g(199), 0, 8);
    return finish();
}
