/* A table of records holding long and float fields: linear search by a
   long key, totals over a field, records copied between slots and
   updated through a returned pointer. */
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

struct item { long key; unsigned char qty; float price; unsigned long flags; };

struct item items[4] = {
    {100000, 3, 2.5, 0x1},
    {-7, 10, 0.75, 0x80000000},
    {0x10000, 1, 1000.0, 0x00010000},
    {0xFFFF, 0, 1.0, 0}
};

struct item *find(long key)
{
    int i;
    for (i = 0; i < 4; ++i)
        if (items[i].key == key)
            return &items[i];
    return 0;
}

float value(void)
{
    float s = 0;
    int i;
    for (i = 0; i < 4; ++i)
        s += items[i].qty * items[i].price;
    return s;
}

int main(void)
{
    struct item *p;
    unsigned long all = 0;
    int i;
    init_io();
    expect(find(0x10000) == &items[2], 1, 1);
    expect(find(0xFFFF) == &items[3], 1, 2);
    expect(find(0x1FFFF) == 0, 1, 3);
    expect(find(-7)->qty, 10, 4);
    expect_f(value(), 0x447D, 0xC000, 5);          /* 7.5 + 7.5 + 1000 */
    for (i = 0; i < 4; ++i)
        all |= items[i].flags;
    expect_l(all, 0x8001, 0x0001, 6);
    p = find(100000);
    p->key += 0x10000;
    p->price *= 2;
    expect_l(items[0].key, 0x0002, 0x86A0, 7);
    items[3] = items[1];
    expect_l(items[3].key, 0xFFFF, 0xFFF9, 8);
    expect_l(items[3].flags, 0x8000, 0, 9);
    expect_f(value(), 0x4480, 0xC000, 10);         /* 15 + 7.5 + 1000 + 7.5 */
    return finish();
}
