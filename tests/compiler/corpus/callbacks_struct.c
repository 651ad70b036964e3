/* callbacks struct */
struct handler {
    int code;
    void (*fn)(int);
};

static int last;

static void on_a(int v) { last = v; }
static void on_b(int v) { last = -v; }

static struct handler handlers[] = { { 1, on_a }, { 2, on_b } };

void dispatch(int code, int v)
{
    unsigned i;
    for (i = 0; i < sizeof handlers / sizeof handlers[0]; i++)
        if (handlers[i].code == code) {
            handlers[i].fn(v);
            return;
        }
}

int main(void)
{
    dispatch(2, 7);
    return last;
}
