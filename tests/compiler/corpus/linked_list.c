/* linked list */
struct node {
    int value;
    struct node *next;
};

static struct node pool[16];
static int used;

struct node *push(struct node *head, int v)
{
    struct node *n;
    if (used >= 16)
        return head;
    n = &pool[used++];
    n->value = v;
    n->next = head;
    return n;
}

int length(struct node *l)
{
    int n = 0;
    while (l) {
        n++;
        l = l->next;
    }
    return n;
}

int sum(struct node *l)
{
    return l ? l->value + sum(l->next) : 0;
}

int main(void)
{
    struct node *h = 0;
    int i;
    for (i = 1; i <= 5; i++)
        h = push(h, i);
    return length(h) + sum(h);
}
