/* Pointer comparisons and pointer arithmetic on chars, ints and structs. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct s3 { char a, b, c; };
char cs[10];
int is[10];
struct s3 ss[10];

int main(void)
{
    char *c1 = cs, *c2 = &cs[9];
    int *i1 = is + 2, *i2 = &is[7];
    struct s3 *s1 = ss, *s2 = ss + 4;
    init_io();
    expect(c2 - c1, 9, 1);
    expect(i2 - i1, 5, 2);
    expect(s2 - s1, 4, 3);
    expect((char *)s2 - (char *)s1, 12, 4);
    expect((char *)i2 - (char *)i1, 10, 5);
    expect(c1 < c2, 1, 6);
    expect(i1 >= i2, 0, 7);
    s1 += 2;
    expect(s2 - s1, 2, 8);
    i2--;
    expect(i2 - is, 6, 9);
    return finish();
}
