/* bitfields */
struct flags {
    unsigned ready : 1;
    unsigned error : 1;
    unsigned count : 4;
    unsigned mode : 2;
};

static struct flags f;

void tick(void)
{
    if (f.ready && !f.error)
        f.count++;
    if (f.count == 15)
        f.mode = 3;
}

int main(void)
{
    int i;
    f.ready = 1;
    for (i = 0; i < 20; i++)
        tick();
    return f.mode;
}
