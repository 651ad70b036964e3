/* 'c & 255' keeps its mask for a signed char widened to int: -128 & 255
   is 128; the mask goes only where it cannot change the result. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

char sc = -128;
unsigned char uc = 200;
int n;

int main(void)
{
    char c = -128;
    char d;
    init_io();
    expect(c & 255, 0x80, 1);
    expect(sc & 255, 0x80, 2);
    expect(255 & sc, 0x80, 3);
    n = sc & 0xFF;
    expect(n, 128, 4);
    expect(uc & 255, 200, 5);
    d = c & 255;          /* only the low byte is kept */
    expect(d, -128, 6);
    sc = -1;
    expect((sc & 255) == 255, 1, 7);
    expect((unsigned)(sc & 255), 255, 8);
    return finish();
}
