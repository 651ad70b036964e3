/* The string and character functions, printed in a form that the host's
 * C library gives alike: this source runs on the board and on the host. */
#include <ctype.h>
#include <stdio.h>
#include <string.h>

static char buf[64];

static void show(const char *what, const char *s) { printf("%s [%s]\n", what, s ? s : "(none)"); }

static int sign(int v) { return v < 0 ? -1 : v > 0; }

int main(void)
{
    char a[16], *p;
    const char *text = "alpha,beta;;gamma, delta";
    int i, c, mask;

    strcpy(buf, "0123456789");
    memmove(buf + 2, buf, 6);          /* overlap forwards */
    show("memmove up", buf);
    strcpy(buf, "0123456789");
    memmove(buf, buf + 3, 7);          /* overlap backwards */
    show("memmove down", buf);
    memcpy(buf, "abcdefg", 7);
    show("memcpy", buf);
    memset(buf, 'x', 5);
    memset(buf + 5, 'y', 0);
    show("memset", buf);
    memset(a, 0, sizeof a);
    memset(a, 'z', 3);
    show("memset odd", a);
    printf("memcmp %d %d %d %d\n", sign(memcmp("abc", "abd", 3)), sign(memcmp("abc", "abc", 3)),
           sign(memcmp("\x80", "\x01", 1)), sign(memcmp("a", "b", 0)));
    strcpy(a, "hello");
    p = memchr(a, 'l', 5);
    printf("memchr %d %d %d\n", p ? (int)(p - a) : -1, memchr(a, 'z', 5) == NULL, memchr(a, 'o', 4) == NULL);
    printf("strlen %d %d %d\n", (int)strlen(""), (int)strlen("a"), (int)strlen("hello world"));
    strcpy(a, "abc");
    strncpy(a, "xy", 6);
    /* a char reaches printf as one byte: passed as int for %d */
    printf("strncpy %d %d %d %d\n", (int)a[0], (int)a[2], (int)a[5], (int)a[6]);
    strncpy(a, "longer text", 4);
    printf("strncpy cut %c%c%hhc%hhc %d\n", (int)a[0], (int)a[1], a[2], a[3], (int)a[4]);
    strcpy(a, "ab");
    strcat(a, "cd");
    strncat(a, "efgh", 2);
    strncat(a, "", 3);
    show("strcat", a);
    printf("strcmp %d %d %d %d %d\n", sign(strcmp("abc", "abd")), sign(strcmp("abc", "abc")),
           sign(strcmp("abc", "ab")), sign(strcmp("", "a")), sign(strcmp("\xff", "a")));
    printf("strncmp %d %d %d\n", sign(strncmp("abcx", "abcy", 3)), sign(strncmp("abcx", "abcy", 4)),
           sign(strncmp("ab", "abc", 5)));
    show("strchr", strchr(text, ';'));
    printf("strchr end %d\n", strchr(text, 0) == text + strlen(text));
    show("strchr none", strchr(text, 'q'));
    show("strrchr", strrchr(text, 'a'));
    show("strstr", strstr(text, "ga"));
    show("strstr empty", strstr(text, ""));
    show("strstr none", strstr(text, "gx"));
    printf("strspn %d %d\n", (int)strspn("aabbcx", "abc"), (int)strspn("x", "abc"));
    printf("strcspn %d %d\n", (int)strcspn("abc;def", ";,"), (int)strcspn("abc", ""));
    show("strpbrk", strpbrk(text, ";,"));
    show("strpbrk none", strpbrk(text, "!?"));
    strcpy(buf, text);
    for (p = strtok(buf, ",; "); p; p = strtok(NULL, ",; "))
        show("strtok", p);
    strcpy(buf, ";;;");
    show("strtok only delimiters", strtok(buf, ";"));

    for (c = -1; c < 256; c++) {
        mask = (isalnum(c) != 0) | (isalpha(c) != 0) << 1 | (iscntrl(c) != 0) << 2 | (isdigit(c) != 0) << 3 |
               (isgraph(c) != 0) << 4 | (islower(c) != 0) << 5 | (isprint(c) != 0) << 6 |
               (ispunct(c) != 0) << 7 | (isspace(c) != 0) << 8 | (isupper(c) != 0) << 9 |
               (isxdigit(c) != 0) << 10;
        printf("%d:%d:%d:%d\n", c, mask, tolower(c), toupper(c));
    }
    for (i = 0; i < 3; i++)
        printf("%d", i);
    printf("\n");
    return 0;
}
