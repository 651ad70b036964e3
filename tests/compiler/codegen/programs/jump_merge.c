/* Jump tables whose cases share code: adjacent labels merge under the
   peephole passes and the table follows them. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int group(int v)
{
    int r = 0;
    switch (v) {
    case 0:
    case 1:
    case 2:
        r = 10;
        break;
    case 3:
    case 4:
        r = 20;
        break;
    case 5:
        break;
    case 6:
    case 7:
    default:
        r = 30;
    }
    return r;
}

int main(void)
{
    init_io();
    expect(group(0), 10, 1);
    expect(group(2), 10, 2);
    expect(group(4), 20, 3);
    expect(group(5), 0, 4);
    expect(group(6), 30, 5);
    expect(group(7), 30, 6);
    expect(group(99), 30, 7);
    expect(group(-1), 30, 8);
    return finish();
}
