/* Data shapes a debugger must describe: structures with bit fields and
   nested members, unions, arrays of one and two dimensions, pointers to
   pointers, a self-referencing list and a function pointer. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct flags {
    unsigned ready : 1;
    unsigned mode : 3;
    unsigned count : 4;
};

struct point {
    int x;
    char tag;
    struct flags f;
};

union word {
    unsigned w;
    unsigned char b[2];
};

struct node {
    struct node *next;
    int value;
};

struct point origin;
struct point path[3];
int grid[2][3];
char *names[2];
char **cursor;
union word reg;
struct node cells[3];
struct node *list;
long total;
int (*op)(int, int);
static unsigned char counter;

/* sx G:origin:_origin: */
/* sx G:grid:_grid: */
/* sx S:counter: */
/* sx L:sum_list:n: */

int plus(int a, int b)
{
    return a + b;
}
/* frameless plus */
/* sx L:plus:a:2:(typ11) */
/* sx L:plus:b:4:(typ11) */

int sum_list(struct node *n)
{
    int s = 0;
    while (n) {
        s += n->value;
        n = n->next;
    }
    return s;
}

int main(void)
{
    int i, j;
    init_io();
    origin.x = 7;
    origin.tag = 'o';
    origin.f.ready = 1;
    origin.f.mode = 5;
    origin.f.count = 9;
    expect(origin.f.mode, 5, 1);
    expect(origin.f.count, 9, 2);
    for (i = 0; i < 2; i++)
        for (j = 0; j < 3; j++)
            grid[i][j] = i * 10 + j;
    expect(grid[1][2], 12, 3);
    names[0] = "alpha";
    names[1] = "beta";
    cursor = &names[1];
    expect(**cursor, 'b', 4);
    reg.w = 0x1234;
    expect(reg.b[0], 0x12, 5);
    for (i = 0; i < 3; i++) {
        cells[i].value = i + 1;
        cells[i].next = i < 2 ? &cells[i + 1] : 0;
        path[i].x = i;
    }
    list = &cells[0];
    expect(sum_list(list), 6, 6);
    total = 100000L;
    total = total * 3;
    expect((int)(total / 1000), 300, 7);
    op = plus;
    expect(op(2, 3), 5, 8);
    counter++;
    expect(counter, 1, 9);
    return finish();
}
