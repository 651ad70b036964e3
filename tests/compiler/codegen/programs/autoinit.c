/* Automatic arrays and structures with initialisers, copied from their
   images on every entry. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct pt { int x; char c; int y; };

int first(int k)
{
    int local[4] = { 1, 2, 3, 4 };
    char name[6] = "abc";
    struct pt p = { 7, 'q', -9 };
    local[k] = 0;
    return local[0] + local[1] + local[2] + local[3] + name[2] + name[4] + p.x + p.c + p.y;
}

int main(void)
{
    init_io();
    expect(first(0), 9 + 'c' + 7 + 'q' - 9, 1);
    expect(first(3), 6 + 'c' + 7 + 'q' - 9, 2);
    return finish();
}
