/* Comparison results kept in variables of char and int type. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    char f;
    unsigned char g;
    int a = 5, b = 7, v;
    init_io();
    f = a < b;
    g = a == b;
    v = f + g;
    expect(v, 1, 1);
    f = !f;
    expect(f, 0, 2);
    v = (a < b) + (a <= b) + (a != b) + (a > b);
    expect(v, 3, 3);
    v = (a < b) << 3 | (b < a);
    expect(v, 8, 4);
    return finish();
}
