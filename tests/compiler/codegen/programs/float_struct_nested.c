/* Nested structures holding float arrays and long members: whole-structure
   copies, members reached through chains of . and ->, and a structure
   returned with both kinds filled in. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

void expect_f(float got, int hi, int lo, int id)
{
    unsigned *w = (unsigned *)&got;
    expect(w[0], hi, id);
    expect(w[1], lo, id + 0x100);
}

struct vec { float v[3]; };
struct body { char name; struct vec pos, vel; long ticks; };

struct body step(struct body b, float dt)
{
    int i;
    for (i = 0; i < 3; ++i)
        b.pos.v[i] += b.vel.v[i] * dt;
    b.ticks += 1000000;
    return b;
}

float dot(struct vec *a, struct vec *b)
{
    return a->v[0] * b->v[0] + a->v[1] * b->v[1] + a->v[2] * b->v[2];
}

int main(void)
{
    struct body a, b;
    struct body *p = &b;
    init_io();
    a.name = 'x';
    a.pos.v[0] = 1; a.pos.v[1] = 2; a.pos.v[2] = 3;
    a.vel.v[0] = 0.5; a.vel.v[1] = -1; a.vel.v[2] = 4;
    a.ticks = 0x7FFF;
    b = step(a, 2.0);
    expect(p->name, 'x', 1);
    expect_f(p->pos.v[0], 0x4000, 0, 2);
    expect_f(p->pos.v[1], 0, 0, 3);
    expect_f(p->pos.v[2], 0x4130, 0, 4);   /* 11 */
    expect_l(p->ticks, 0x000F, 0xC23F, 5);
    expect_f(a.pos.v[2], 0x4040, 0, 6);
    expect_f(dot(&p->pos, &a.vel), 0x4234, 0, 7);   /* 1 + 0 + 44 = 45 */
    b = step(step(b, 1.0), -0.5);
    expect_f(b.pos.v[2], 0x4150, 0, 8);    /* 11 + 4 - 2 = 13 */
    expect_l(b.ticks, 0x002E, 0x46BF, 9);
    return finish();
}
