/* Jump tables selected by char and unsigned char values, including values
   below the table and above it. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int sc(char c)
{
    switch (c) {
    case -2: return 1;
    case -1: return 2;
    case 0: return 3;
    case 1: return 4;
    case 2: return 5;
    }
    return 0;
}

int uc(unsigned char c)
{
    switch (c) {
    case 250: return 1;
    case 251: return 2;
    case 252: return 3;
    case 254: return 4;
    case 255: return 5;
    default: return 9;
    }
}

int main(void)
{
    init_io();
    expect(sc(-2), 1, 1);
    expect(sc(2), 5, 2);
    expect(sc(-3), 0, 3);
    expect(sc(3), 0, 4);
    expect(sc(-128), 0, 5);
    expect(sc(127), 0, 6);
    expect(uc(250), 1, 7);
    expect(uc(253), 9, 8);
    expect(uc(255), 5, 9);
    expect(uc(0), 9, 10);
    expect(uc(249), 9, 11);
    return finish();
}
