/* Reading a const aggregate's first member or element is a load, never the
   fold of a const scalar. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct box { int m; int n; };
const struct box b = { 998, 2 };
const int arr[3] = { 998, 1, 2 };
const char str[] = "abc";
const long big[2] = { 123456L, 7L };
const int scalar = 41;

int main(void)
{
    init_io();
    expect(b.m, 998, 1);
    expect(b.n, 2, 2);
    expect(arr[0], 998, 3);
    expect(*arr, 998, 4);
    expect(str[0], 'a', 5);
    expect(big[0] == 123456L, 1, 6);
    expect(scalar + 1, 42, 7);
    expect(scalar, 41, 8);
    return finish();
}
