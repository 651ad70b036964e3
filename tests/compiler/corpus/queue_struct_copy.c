/* queue struct copy */
struct msg {
    int id;
    char text[6];
};

static struct msg inbox[4];
static int n_in;

int post(struct msg m)
{
    if (n_in == 4)
        return 0;
    inbox[n_in++] = m;
    return 1;
}

int main(void)
{
    struct msg m;
    int i;
    for (i = 0; i < 6; i++) {
        m.id = i;
        m.text[0] = (char)('a' + i);
        m.text[1] = 0;
        post(m);
    }
    return inbox[3].id;
}
