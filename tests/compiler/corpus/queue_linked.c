/* queue linked */
struct item {
    struct item *next;
    int data;
};

struct queue {
    struct item *head, *tail;
};

void enqueue(struct queue *q, struct item *it)
{
    it->next = 0;
    if (q->tail)
        q->tail->next = it;
    else
        q->head = it;
    q->tail = it;
}

struct item *dequeue(struct queue *q)
{
    struct item *it = q->head;
    if (it) {
        q->head = it->next;
        if (!q->head)
            q->tail = 0;
    }
    return it;
}

int main(void)
{
    static struct item items[3];
    struct queue q;
    struct item *it;
    int i, s = 0;
    q.head = q.tail = 0;
    for (i = 0; i < 3; i++) {
        items[i].data = i + 1;
        enqueue(&q, &items[i]);
    }
    while ((it = dequeue(&q)) != 0)
        s = s * 10 + it->data;
    return s;
}
