/* Hand-written string functions over char arrays and pointers. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int len(char *s) { char *p = s; while (*p) p++; return p - s; }
void copy(char *d, char *s) { while ((*d++ = *s++) != 0) ; }
void append(char *d, char *s) { copy(d + len(d), s); }
void reverse(char *s)
{
    char *e = s + len(s) - 1, t;
    while (s < e) {
        t = *s;
        *s++ = *e;
        *e-- = t;
    }
}
int same(char *a, char *b)
{
    while (*a == *b) {
        if (*a == 0) return 1;
        a++;
        b++;
    }
    return 0;
}

char buf[32];

int main(void)
{
    init_io();
    copy(buf, "KY09");
    expect(len(buf), 4, 1);
    append(buf, " board");
    expect(len(buf), 10, 2);
    expect(same(buf, "KY09 board"), 1, 3);
    reverse(buf);
    expect(same(buf, "draob 90YK"), 1, 4);
    expect(same(buf, "draob"), 0, 5);
    return finish();
}
