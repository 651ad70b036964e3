/* A small state machine over a string with a switch per character. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int count_words(char *s)
{
    int state = 0, n = 0;
    for (; *s; s++) {
        switch (state) {
        case 0:
            if (*s != ' ') { state = 1; n++; }
            break;
        case 1:
            if (*s == ' ') state = 0;
            break;
        }
    }
    return n;
}
int main(void)
{
    init_io();
    expect(count_words(""), 0, 1);
    expect(count_words("one"), 1, 2);
    expect(count_words("  two  words "), 2, 3);
    expect(count_words("a b c d e f"), 6, 4);
    return finish();
}
