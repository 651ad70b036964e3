/* The first module: globals of every shape, with an incomplete struct. */
#include "shared.h"

struct point origin;
struct point *cursor;
char *names[3];
struct flags fl;
record_t rec;
struct hidden *opaque;
union value val;
handler_t handler;
static struct point table[4];

int main(void)
{
    int i;
    struct point local;
    local.x = 1;
    local.y = 2;
    for (i = 0; i < 4; i++)
        table[i].x = twice(i);
    cursor = &table[1];
    names[0] = "zero";
    fl.mode = 5;
    val.l = 70000L;
    handler = twice;
    return handler(local.x) + sum_points(table, 4);
}
