/* Small constant steps (+= and -= of 1 to 4, value unused) on ints and
   pointers reached through pointers, subscripts and members: the
   destination's own address computation must survive the update. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct node { int v; int *p; struct node *next; };

int data[6] = {10, 20, 30, 40, 50, 60};
struct node n2 = {200, data + 5, 0};
struct node n1 = {100, data, &n2};

int main(void)
{
    struct node *h = &n1;
    int *pp[2];
    int **ppp = pp;
    int i = 2;
    init_io();
    pp[0] = data;
    pp[1] = data + 3;

    data[i] += 4;
    expect(data[2], 34, 1);
    data[i + 1] -= 3;
    expect(data[3], 37, 2);
    h->v += 1;
    expect(n1.v, 101, 3);
    h->next->v -= 2;
    expect(n2.v, 198, 4);
    h->p += 2;
    expect(*n1.p, 34, 5);
    h->next->p -= 4;
    expect(*n2.p, 20, 6);
    *pp[1] += 3;
    expect(data[3], 40, 7);
    pp[0] += 1;
    expect(*pp[0], 20, 8);
    **ppp += 2;
    expect(data[1], 22, 9);
    ppp[1][1] -= 1;
    expect(data[4], 49, 10);
    (*ppp)[i] += 4;
    expect(data[3], 44, 11);
    *h->next->p += 1;
    expect(data[1], 23, 12);
    expect(h == &n1 && ppp == pp && i == 2, 1, 13);
    return finish();
}
