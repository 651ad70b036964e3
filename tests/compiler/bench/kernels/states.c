/* A state machine that counts numbers, words and comments in a text. */
static const char text[] =
    "count 12 apples, 345 pears /* and 6 plums */ then 7890 more; "
    "words and 1 2 3 numbers /* skip 99 */ end 42\n";

enum { IDLE, WORD, NUMBER, SLASH, COMMENT, STAR };

int bench(void)
{
    int round, state, words = 0, numbers = 0, comments = 0;
    const char *p;
    for (round = 0; round < 20; round++) {
        state = IDLE;
        for (p = text; *p; p++) {
            char c = *p;
            switch (state) {
            case IDLE:
                if (c >= '0' && c <= '9') { state = NUMBER; numbers++; }
                else if (c >= 'a' && c <= 'z') { state = WORD; words++; }
                else if (c == '/') state = SLASH;
                break;
            case WORD:
                if (!(c >= 'a' && c <= 'z')) state = c == '/' ? SLASH : IDLE;
                break;
            case NUMBER:
                if (!(c >= '0' && c <= '9')) state = c == '/' ? SLASH : IDLE;
                break;
            case SLASH:
                if (c == '*') { state = COMMENT; comments++; }
                else state = IDLE;
                break;
            case COMMENT:
                if (c == '*') state = STAR;
                break;
            case STAR:
                state = c == '/' ? IDLE : c == '*' ? STAR : COMMENT;
                break;
            }
        }
    }
    return words != 20 * 9 || numbers != 20 * 7 || comments != 20 * 2;
}

int main(void) { return bench(); }
