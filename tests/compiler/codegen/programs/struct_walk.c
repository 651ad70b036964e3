/* A pointer walking an array of structures, members by arrow. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct item { char kind; int price; int count; };
struct item stock[5];

int total(struct item *p, int n)
{
    int s = 0;
    struct item *end = p + n;
    for (; p < end; p++)
        if (p->kind != 'x')
            s += p->price * p->count;
    return s;
}

int main(void)
{
    int i;
    init_io();
    for (i = 0; i < 5; i++) {
        stock[i].kind = i == 2 ? 'x' : 'a';
        stock[i].price = 10 + i;
        stock[i].count = i + 1;
    }
    expect(total(stock, 5), 10 + 22 + 52 + 70, 1);
    expect(total(stock + 3, 2), 122, 2);
    expect(&stock[4] - &stock[1], 3, 3);
    expect(sizeof(struct item), 5, 4);
    return finish();
}
