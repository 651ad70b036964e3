/* Structures: members, assignment, passing and returning by value,
   pointers to structures, and a copy of more than 128 bytes. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct point { int x, y; char tag; };
struct big { char b[200]; int last; };

struct point make(int x, int y)
{
    struct point p;
    p.x = x;
    p.y = y;
    p.tag = 'p';
    return p;
}

int area(struct point a, struct point b)
{
    return (b.x - a.x) * (b.y - a.y);
}

int check_big(struct big g)
{
    return g.b[0] + g.b[127] + g.b[128] + g.b[199] + g.last;
}

void move(struct point *p, int dx)
{
    p->x += dx;
    p->y -= dx;
}

struct big gb;

int main(void)
{
    struct point a, b, c;
    struct big lb;
    int i;
    init_io();
    a = make(1, 2);
    b = make(4, 6);
    expect(a.x, 1, 1);
    expect(b.y, 6, 2);
    expect(b.tag, 'p', 3);
    expect(area(a, b), 12, 4);
    c = b;
    c.x = 10;
    expect(b.x, 4, 5);
    expect(c.x + c.y, 16, 6);
    move(&c, 3);
    expect(c.x, 13, 7);
    expect(c.y, 3, 8);
    expect(make(7, 8).y, 8, 9);
    for (i = 0; i < 200; i++)
        gb.b[i] = i & 63;
    gb.last = 1000;
    expect(check_big(gb), 0 + 63 + 0 + 7 + 1000, 10);
    lb = gb;
    expect(lb.b[199] + lb.last, 1007, 11);
    lb.b[128] = 9;
    expect(check_big(lb), 1079, 12);
    expect(gb.b[128], 0, 13);
    return finish();
}
