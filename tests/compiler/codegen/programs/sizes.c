/* sizeof of the small types, arrays, structures and expressions. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct a { char c; int i; char d[3]; };
union u { int i; char c[5]; };

int main(void)
{
    int arr[7];
    char *p;
    init_io();
    expect(sizeof(char), 1, 1);
    expect(sizeof(int), 2, 2);
    expect(sizeof(short), 2, 3);
    expect(sizeof(char *), 2, 4);
    expect(sizeof(struct a), 6, 5);
    expect(sizeof(union u), 5, 6);
    expect(sizeof arr, 14, 7);
    expect(sizeof arr / sizeof arr[0], 7, 8);
    expect(sizeof(p), 2, 9);
    expect(sizeof(*p), 1, 10);
    return finish();
}
