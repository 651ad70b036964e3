/* An ordinary program: numbers read with strtol, kept in the heap,
 * sorted with qsort and printed with printf. */
#include <stdio.h>
#include <stdlib.h>

static int ascending(const void *a, const void *b)
{
    long x = *(const long *)a, y = *(const long *)b;
    return x < y ? -1 : x > y;
}

int main(void)
{
    const char *text = "42 -7 100000 0x1F 3 -2147483648";
    char *p = (char *)text, *end;
    long *v = malloc(10 * sizeof *v);
    int n = 0, i;
    if (!v)
        return 1;
    for (;;) {
        long x = strtol(p, &end, 0);
        if (end == p)
            break;
        v[n++] = x;
        p = end;
    }
    qsort(v, n, sizeof *v, ascending);
    for (i = 0; i < n; i++)
        printf("%s%ld", i ? " " : "", v[i]);
    printf("\n%d numbers, mean %.2f\n", n, (float)(v[1] + v[2] + v[3] + v[4] + v[5]) / 5);
    free(v);
    return 0;
}
