/* A linked list built in an array, walked and summed. */
struct node {
    struct node *next;
    int value;
    char tag;
};

static struct node pool[64];

static struct node *build(void)
{
    struct node *head = 0;
    int i;
    for (i = 0; i < 64; i++) {
        pool[i].value = i * 3;
        pool[i].tag = (char)(i & 7);
        pool[i].next = head;
        head = &pool[i];
    }
    return head;
}

static long walk(struct node *p)
{
    long sum = 0;
    for (; p; p = p->next)
        if (p->tag != 3)
            sum += p->value;
    return sum;
}

int bench(void)
{
    struct node *head = build();
    long total = 0;
    int round;
    for (round = 0; round < 20; round++)
        total += walk(head);
    return total != 20L * (6048 - 3 * (3 + 11 + 19 + 27 + 35 + 43 + 51 + 59));
}

int main(void) { return bench(); }
