/* Pointers walked by *p++ and *p-- in loops of every shape, with the
   pointer used after the loop, left by break, and next to calls, 32-bit
   walks and a second walk: the pointer may live in a register over the
   loop, but every value it ends with must be the one C gives. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

static char text[] = "walking pointers";
static int words[6] = {3, -1, 4, 1, -5, 9};
static long longs[3] = {100000L, -2L, 70000L};
static char out[20];
static int calls;

static int length(const char *s)
{
    const char *p = s;
    while (*p++)
        ;
    return p - s;
}

static int sum_back(const int *end, int n)
{
    int s = 0;
    while (n-- > 0)
        s += *end--;
    return s + (end == words + 5 - 6 ? 1000 : 0);
}

static int until_space(const char *p)
{
    int n = 0;
    for (;;) {
        if (*p++ == ' ')
            break;
        n++;
    }
    return n * 100 + (p - text);
}

static void copy(char *d, const char *s)
{
    while ((*d++ = *s++) != 0)
        ;
}

static int count_call(void)
{
    return ++calls;
}

static int with_call(const char *p)
{
    int n = 0;
    do {
        n += count_call();
    } while (*p++ != 'k');
    return n;
}

static long long_sum(const long *p, int n)
{
    long s = 0;
    int i;
    for (i = 0; i < n; i++)
        s += *p++;
    return s;
}

static int nested(const char *p)
{
    int rows = 0, i;
    while (*p) {
        for (i = 0; i < 2 && *p; i++)
            p++;
        if (*p++ == 0)
            break;
        rows++;
    }
    return rows;
}

/* The pointer is also stepped and set again in the loop. */
static int restart(const char *p)
{
    int n = 0, rounds = 0;
    while (*p++ != 0) {
        n++;
        if (*p == ' ') {
            p++;
            n += 100;
        }
        if (*p == 0 && rounds++ == 0)
            p = &text[12];
    }
    return n;
}

static int early(const int *p)
{
    for (;;) {
        int v = *p++;
        if (v < 0)
            return v * 10;
    }
}

/* A walk inside another walk's loop: each pointer needs a register of
   its own over the inner loop, which may not run at all. */
static int inner_walk(const int *p, int rounds, int inner)
{
    const int *q = words;
    int s = 0, n;
    while (rounds-- > 0) {
        s += *p++;
        q = words;
        n = inner;
        while (n--)
            s += *q++ * 100;
    }
    return s + (int)(p - words) * 1000 + (int)(q - words) * 10000;
}

int main(void)
{
    init_io();
    expect(length(text), 17, 1);
    expect(sum_back(words + 5, 6), 1011, 2);
    expect(until_space(text), 708, 3);
    copy(out, text);
    expect(length(out), 17, 4);
    expect(out[15], 's', 5);
    expect(with_call(text), 10, 6);
    expect(long_sum(longs, 3) == 169998L, 1, 7);
    expect(nested(text), 5, 8);
    expect(early(words), -10, 9);
    expect(restart(text), 115 + 4, 10);
    expect(inner_walk(words + 1, 3, 0), 4 + 4000, 11);
    expect(inner_walk(words, 2, 2), 2 + 400 + 2000 + 20000, 12);
    return finish();
}
