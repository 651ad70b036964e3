/* The second module: the same header, the incomplete struct completed. */
#include "shared.h"

struct hidden {
    int secret;
    char more;
};

struct point limit;
record_t recs[2];
struct hidden h;
static char *message;

int twice(int v)
{
    record_t *r = &recs[0];
    r->id = v;
    return v * 2;
}

int sum_points(struct point *p, int n)
{
    int s = 0;
    struct point best;
    best = limit;
    while (n-- > 0) {
        s += p->x * p->y;
        if (p->x > best.x)
            best = *p;
        p++;
    }
    message = "done";
    h.secret = best.x;
    return s;
}
