/* varargs decl */
int printf(const char *fmt, ...);

struct point { int x, y; };

static struct point make(int x, int y)
{
    struct point p;
    p.x = x;
    p.y = y;
    return p;
}

int main(void)
{
    struct point p;
    p = make(3, 4);
    printf("%d %d\n", p.x, p.y);
    return p.x * p.y;
}
