/* A linked list in a static pool: insertion in order, traversal, removal. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

struct node { int value; struct node *next; };
struct node pool[10];
int used;
struct node *head;

void insert(int v)
{
    struct node *n = &pool[used++], **pp = &head;
    n->value = v;
    while (*pp && (*pp)->value < v)
        pp = &(*pp)->next;
    n->next = *pp;
    *pp = n;
}

int remove_first(void)
{
    int v = head->value;
    head = head->next;
    return v;
}

int main(void)
{
    struct node *n;
    int s = 0, k = 0;
    init_io();
    insert(5);
    insert(1);
    insert(9);
    insert(3);
    for (n = head; n; n = n->next) {
        s = s * 10 + n->value;
        k++;
    }
    expect(s, 1359, 1);
    expect(k, 4, 2);
    expect(remove_first(), 1, 3);
    expect(head->value, 3, 4);
    return finish();
}
