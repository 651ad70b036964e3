/* qsort and bsearch. qsort is a shell sort: no recursion, and no worse
 * with many equal keys than with none. */
#include <stdlib.h>

static void swap(char *a, char *b, size_t size)
{
    char t;
    while (size--) {
        t = *a;
        *a++ = *b;
        *b++ = t;
    }
}

void qsort(void *base, size_t nmemb, size_t size, int (*compar)(const void *, const void *))
{
    char *b = base;
    size_t gap = 1, i, j;
    while (gap < nmemb / 3)
        gap = gap * 3 + 1;
    for (; gap > 0; gap /= 3)
        for (i = gap; i < nmemb; i++)
            for (j = i; j >= gap && compar(b + (j - gap) * size, b + j * size) > 0; j -= gap)
                swap(b + (j - gap) * size, b + j * size, size);
}

void *bsearch(const void *key, const void *base, size_t nmemb, size_t size,
              int (*compar)(const void *, const void *))
{
    const char *b = base;
    size_t lo = 0, hi = nmemb, mid;
    int c;
    while (lo < hi) {
        mid = lo + (hi - lo) / 2;
        c = compar(key, b + mid * size);
        if (c == 0)
            return (void *)(b + mid * size);
        if (c < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return NULL;
}
