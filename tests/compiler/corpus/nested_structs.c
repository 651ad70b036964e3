/* nested structs */
struct vec { int x, y; };
struct rect { struct vec min, max; };
struct scene { struct rect bounds; int count; struct rect items[4]; };

static struct scene sc;

int area(const struct rect *r)
{
    return (r->max.x - r->min.x) * (r->max.y - r->min.y);
}

int main(void)
{
    sc.items[1].max.x = 4;
    sc.items[1].max.y = 5;
    sc.count = 2;
    return area(&sc.items[1]) + sc.count;
}
