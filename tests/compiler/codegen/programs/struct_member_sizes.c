/* Members of every size in one structure, read and written directly,
   through pointers and inside arrays, mixed with each other in
   expressions, compares and assignment operators. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

void expect_l(long got, unsigned hi, unsigned lo, int id)
{
    expect((unsigned)((unsigned long)got >> 16), hi, id);
    expect((unsigned)got, lo, id + 0x100);
}

struct all {
    char c;
    unsigned char uc;
    int i;
    unsigned u;
    long l;
    unsigned long ul;
    float f;
    char *p;
    char tail;
};

struct all table[3];

long total(struct all *a)
{
    return a->c + a->uc + a->i + a->u + a->l + a->ul;
}

int main(void)
{
    struct all s;
    struct all *q = &table[1];
    char text[4];
    int n;
    init_io();
    expect(sizeof(struct all), 21, 1);

    s.c = -2;
    s.uc = 254;
    s.i = -300;
    s.u = 60000U;
    s.l = -70000L;
    s.ul = 4000000000UL;
    s.f = 0.25f;
    s.p = text;
    s.tail = 'z';
    text[0] = 'a';

    expect(s.c + s.uc, 252, 2);                       /* int arithmetic */
    expect(s.c < s.uc, 1, 3);
    expect(s.i < s.u, 0, 4);                          /* unsigned compare */
    expect(s.i < s.l, 0, 5);                          /* -300 < -70000: no */
    expect(s.l < s.ul, 0, 6);                         /* unsigned long compare */
    expect_l(s.l + s.u, 0xFFFF, 0xD8F0, 7);           /* -10000 */
    expect_l((long)(s.ul / s.uc), 0x00F0, 0x4BBF, 8);  /* 4e9 / 254 = 15748031 */
    expect_l((long)(s.f * s.i), 0xFFFF, 0xFFB5, 9);    /* -75 */
    expect(*s.p + s.c, 'a' - 2, 10);
    expect(s.tail, 'z', 11);
    expect_l(total(&s), 0xEE6B, 0x00C0, 12);           /* 3999989952 */

    *q = s;
    q->c *= 3;
    q->uc += q->c;                                    /* 254 - 6 = 248 */
    q->i -= q->uc;
    q->u >>= q->uc - 244;                            /* >> 4 */
    q->l += q->i;
    q->ul -= q->l;
    q->f += q->c;
    q->p += 2;
    expect(q->c, -6, 20);
    expect(q->uc, 248, 21);
    expect(q->i, -548, 22);
    expect(q->u, 3750, 23);
    expect_l(q->l, 0xFFFE, 0xEC6C, 24);               /* -70548 */
    expect_l((long)q->ul, 0xEE6C, 0x3B94, 25);              /* 4000070548 */
    expect(q->f == -5.75f, 1, 26);
    expect(q->p - text, 2, 27);
    expect(q->tail, 'z', 28);
    expect(table[0].tail, 0, 29);
    expect(table[2].l == 0, 1, 30);

    for (n = 0; n < 3; ++n) {
        table[n].l = n * 100000L;
        table[n].uc = n * 100;
        table[n].f = n;
    }
    expect_l(table[2].l - table[1].l, 1, 0x86A0, 31);
    expect(table[2].uc + table[1].uc, 300, 32);
    expect(table[2].f > table[1].l, 0, 33);
    expect((table + 2)->uc - (q)->uc, 100, 34);
    expect_l((long)table[1].ul, 0xEE6C, 0x3B94, 35);
    return finish();
}
