/* switch on long and unsigned long values: case labels that differ only in
   the high word, negative labels, a default, and fall-through. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

int classify(long v)
{
    switch (v) {
    case 0: return 1;
    case 1: return 2;
    case 0x10000: return 3;
    case 0x10001: return 4;
    case -1: return 5;
    case -65536: return 6;
    case 0x7FFFFFFF: return 7;
    case 0x80000000: return 8;
    default: return 9;
    }
}

int ulabels(unsigned long v)
{
    int n = 0;
    switch (v >> 16) {
    case 0xFFFF: n += 100;
    case 0x8000: n += 10;
        break;
    case 1: n = 1;
    }
    return n;
}

int main(void)
{
    init_io();
    expect(classify(0), 1, 1);
    expect(classify(1), 2, 2);
    expect(classify(0x10000), 3, 3);
    expect(classify(0x10001), 4, 4);
    expect(classify(-1), 5, 5);
    expect(classify(0xFFFF), 9, 6);
    expect(classify(-65536), 6, 7);
    expect(classify(0x7FFFFFFF), 7, 8);
    expect(classify(0x80000000), 8, 9);
    expect(classify(0x20000), 9, 10);
    expect(classify(0xFFFF0001), 9, 11);
    expect(ulabels(0xFFFF1234), 110, 12);
    expect(ulabels(0x80000000), 10, 13);
    expect(ulabels(0x0001FFFF), 1, 14);
    expect(ulabels(0x00020000), 0, 15);
    return finish();
}
