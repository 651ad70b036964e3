/* String copy, compare and length over a set of words. */
static char *words[] = {
    "alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel",
    "india", "juliett", "kilo", "lima", "mike", "november", "oscar", "papa",
};
static char buf[64];

static int length(const char *s)
{
    const char *p = s;
    while (*p)
        p++;
    return p - s;
}

static void copy(char *d, const char *s)
{
    while ((*d++ = *s++) != 0)
        ;
}

static int compare(const char *a, const char *b)
{
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return (unsigned char)*a - (unsigned char)*b;
}

int bench(void)
{
    int round, i, total = 0, order = 0;
    for (round = 0; round < 20; round++) {
        for (i = 0; i < 16; i++) {
            copy(buf, words[i]);
            total += length(buf);
            if (compare(buf, words[i]) != 0)
                return 1;
            if (i > 0 && compare(words[i - 1], buf) < 0)
                order++;
        }
    }
    return total != 20 * 83 || order != 20 * 15;
}

int main(void) { return bench(); }
