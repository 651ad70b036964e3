/* malloc, calloc, realloc and free on the board: blocks are distinct and
 * keep their contents, freed room is used again, exhaustion gives NULL
 * and the heap is whole again after everything is freed. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures;

static void check(int ok, const char *what)
{
    if (!ok) {
        printf("FAIL %s\n", what);
        failures++;
    }
}

static char *blocks[600];

int main(void)
{
    char *a, *b, *c, *d;
    int i, n, m;
    unsigned *z;

    a = malloc(10);
    b = malloc(20);
    c = malloc(0);
    d = malloc(0);
    check(a && b && c && d, "first blocks");
    check(a != b && c != d && b != c, "distinct");
    check(b >= a + 10, "no overlap");
    memset(a, 'a', 10);
    memset(b, 'b', 20);
    free(a);
    a = malloc(8);
    check(a != NULL, "freed room used again");
    memset(a, 'c', 8);
    check(b[0] == 'b' && b[19] == 'b', "neighbour untouched");
    free(NULL);

    z = calloc(10, sizeof *z);
    check(z != NULL, "calloc");
    for (i = 0, n = 0; i < 10; i++)
        n |= z[i];
    check(n == 0, "calloc zeroes");
    check(calloc(30000, 3) == NULL, "calloc overflow");
    check(malloc(65535u) == NULL, "too big");

    strcpy(b, "keep me");
    b = realloc(b, 200);
    check(b != NULL && strcmp(b, "keep me") == 0, "realloc grows");
    b = realloc(b, 5);
    check(b != NULL && memcmp(b, "keep ", 5) == 0, "realloc shrinks");
    d = realloc(NULL, 12);
    check(d != NULL, "realloc of NULL");

    /* until nothing fits, then everything back */
    for (n = 0; n < 600 && (blocks[n] = malloc(100)) != NULL; n++)
        memset(blocks[n], n, 100);
    check(n > 10 && n < 600, "exhaustion gives NULL");
    for (i = 0; i < n; i++)
        if (blocks[i][0] != (char)i || blocks[i][99] != (char)i)
            break;
    check(i == n, "blocks keep their bytes");
    for (i = 0; i < n; i += 2)
        free(blocks[i]);
    for (i = 1; i < n; i += 2)
        free(blocks[i]);
    for (m = 0; m < 600 && (blocks[m] = malloc(100)) != NULL; m++)
        ;
    check(m == n, "all room back");
    for (i = 0; i < m; i++)
        free(blocks[i]);
    a = malloc((size_t)n * 100 / 2);
    check(a != NULL, "freed blocks joined");
    if (failures == 0)
        printf("ok\n");
    return failures;
}
