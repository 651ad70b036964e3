/* ring buffer */
#define SIZE 16

struct ring {
    unsigned char data[SIZE];
    unsigned char head, tail;
};

int ring_put(struct ring *r, unsigned char c)
{
    unsigned char next = (unsigned char)((r->head + 1) & (SIZE - 1));
    if (next == r->tail)
        return 0;
    r->data[r->head] = c;
    r->head = next;
    return 1;
}

int ring_get(struct ring *r)
{
    int c;
    if (r->head == r->tail)
        return -1;
    c = r->data[r->tail];
    r->tail = (unsigned char)((r->tail + 1) & (SIZE - 1));
    return c;
}

int main(void)
{
    static struct ring r;
    int i, s = 0;
    for (i = 0; i < 20; i++)
        ring_put(&r, (unsigned char)i);
    while ((i = ring_get(&r)) >= 0)
        s += i;
    return s;
}
