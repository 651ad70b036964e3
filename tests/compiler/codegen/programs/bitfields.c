/* Bit fields: reading, writing without disturbing neighbours, and
   values cut to the field width. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct flags { unsigned a : 3; unsigned b : 5; unsigned c : 8; };

int main(void)
{
    struct flags f;
    int v;
    init_io();
    f.a = 0;
    f.b = 0;
    f.c = 0;
    f.a = 5;
    f.b = 17;
    f.c = 200;
    expect(f.a, 5, 1);
    expect(f.b, 17, 2);
    expect(f.c, 200, 3);
    f.a = 9;
    expect(f.a, 1, 4);
    expect(f.b, 17, 5);
    f.b = f.b + 1;
    expect(f.b, 18, 6);
    v = f.a + f.b + f.c;
    expect(v, 219, 7);
    v = f.a++;
    expect(v, 1, 8);
    expect(f.a, 2, 9);
    f.a = 7;
    f.a++;
    expect(f.a, 0, 10);
    expect(f.b, 18, 11);
    f.b += 20;
    expect(f.b, 6, 12);
    f.c -= 1;
    expect(f.c, 199, 13);
    v = f.b--;
    expect(v, 6, 14);
    expect(f.b, 5, 15);
    return finish();
}
