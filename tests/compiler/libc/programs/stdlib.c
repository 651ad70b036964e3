/* abs, div, atoi, qsort and bsearch, printed in a form that the host's C
 * library gives alike: this source runs on the board and on the host. */
#include <stdio.h>
#include <stdlib.h>

struct rec {
    int key;
    int serial;
};

static int by_int(const void *a, const void *b)
{
    int x = *(const int *)a, y = *(const int *)b;
    return x < y ? -1 : x > y;
}

static int by_key(const void *a, const void *b)
{
    const struct rec *x = a, *y = b;
    return x->key < y->key ? -1 : x->key > y->key;
}

static int by_char(const void *a, const void *b) { return *(const char *)a - *(const char *)b; }

int main(void)
{
    int v[40], i, *hit, key;
    struct rec r[25];
    char word[] = "the quick brown fox";
    unsigned seed = 7;
    div_t d;
    ldiv_t ld;

    printf("abs %d %d %d\n", abs(-5), abs(7), abs(0));
    printf("labs %ld %ld\n", labs(-100000L), labs(2147483647L));
    d = div(-7, 2);
    printf("div %d %d\n", d.quot, d.rem);
    d = div(7, -3);
    printf("div %d %d\n", d.quot, d.rem);
    ld = ldiv(-1000000L, 7L);
    printf("ldiv %ld %ld\n", ld.quot, ld.rem);
    printf("atoi %d %d %d %d %d\n", atoi("123"), atoi("  -45x"), atoi("+7"), atoi("x"), atoi("32767"));
    printf("atol %ld %ld\n", atol("-2147483647"), atol(" 99999 "));

    for (i = 0; i < 40; i++) {
        seed = (seed * 25173u + 13849u) & 0xFFFFu;
        v[i] = (int)(seed % 1000u) - 500;
    }
    qsort(v, 40, sizeof v[0], by_int);
    for (i = 0; i < 40; i++)
        printf("%d ", v[i]);
    printf("\n");
    for (i = 0; i < 25; i++) {
        r[i].key = i % 3;
        r[i].serial = i;
    }
    qsort(r, 25, sizeof r[0], by_key);
    for (i = 0; i < 25; i++)
        printf("%d", r[i].key);
    printf("\n");
    for (i = 0; i < 25; i++)
        v[i] = 4;
    qsort(v, 25, sizeof v[0], by_int);
    qsort(v, 1, sizeof v[0], by_int);
    qsort(v, 0, sizeof v[0], by_int);
    printf("equal %d %d\n", v[0], v[24]);
    qsort(word, sizeof word - 1, 1, by_char);
    printf("[%s]\n", word);

    for (i = 0; i < 40; i++)
        v[i] = i * 3;
    for (key = -1; key < 122; key += 4) {
        hit = bsearch(&key, v, 40, sizeof v[0], by_int);
        printf("%d", hit ? (int)(hit - v) : -1);
        printf(" ");
    }
    printf("\n");
    key = 3;
    printf("bsearch empty %d\n", bsearch(&key, v, 0, sizeof v[0], by_int) == NULL);
    return 0;
}
