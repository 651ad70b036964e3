/* Initialisers whose inner braces are left out fill the sub-aggregates in
   order, at file scope, as block statics and as automatic objects. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct pair { int a; char b; };
struct holder { char tag; int v[3]; };
struct bits { unsigned lo : 3, hi : 5; int k; unsigned : 4; unsigned top : 4; };

static int flat[2][3] = { 1, 2, 3, 4, 5 };
struct pair pairs[3] = { 1, 'x', 2, 'y', 3 };
struct holder holders[2] = { 'a', 10, 11, 12, 'b', 20 };
char words[3][4] = { "ab", "cde", };
int mixed[2][2] = { { 1 }, 3, 4 };
struct bits bf[2] = { 5, 17, -2, 9, 1, 2, 3 };
long wide[2][2] = { 100000L, -1L, 7 };

int sum(const int *p, int n)
{
    int s = 0;
    while (n--)
        s += *p++;
    return s;
}

int automatic(int k)
{
    int grid[2][3] = { 1, 2, 3, 4, 5 };
    struct holder h[2] = { 'p', 1, 2, 3, 'q', 4, 5, 6, };
    static int st[2][2] = { 9, 8, 7 };
    return grid[1][k] + h[1].v[k] * 10 + h[0].tag + st[1][k] * 100;
}

int main(void)
{
    init_io();
    expect(flat[0][0], 1, 1);
    expect(flat[0][2], 3, 2);
    expect(flat[1][0], 4, 3);
    expect(flat[1][1], 5, 4);
    expect(flat[1][2], 0, 5);
    expect(pairs[1].a, 2, 6);
    expect(pairs[1].b, 'y', 7);
    expect(pairs[2].a, 3, 8);
    expect(pairs[2].b, 0, 9);
    expect(holders[0].v[2], 12, 10);
    expect(holders[1].tag, 'b', 11);
    expect(holders[1].v[0], 20, 12);
    expect(holders[1].v[1], 0, 13);
    expect(words[1][2], 'e', 14);
    expect(words[2][0], 0, 15);
    expect(sum(&mixed[0][0], 4), 1 + 0 + 3 + 4, 16);
    expect(bf[0].lo, 5, 17);
    expect(bf[0].hi, 17, 18);
    expect(bf[0].k, -2, 19);
    expect(bf[0].top, 9, 20);
    expect(bf[1].lo, 1, 21);
    expect(bf[1].hi, 2, 22);
    expect(bf[1].k, 3, 23);
    expect(bf[1].top, 0, 24);
    expect(wide[0][0] == 100000L && wide[0][1] == -1L && wide[1][0] == 7 && wide[1][1] == 0, 1, 25);
    expect(automatic(0), 4 + 40 + 'p' + 700, 26);
    expect(automatic(2), 0 + 60 + 'p' + 0, 27);
    return finish();
}
