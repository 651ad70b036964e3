/* struct init */
struct config {
    char id;
    int baud;
    long timeout;
};

static struct config defaults = { 'A', 9600, 1000L };

int main(void)
{
    struct config c = { 'B', 4800, 500L };
    struct config d;
    d = defaults;
    return c.baud / 100 + d.id;
}
