/* Types both modules share: the debugger must know them in each. */
struct point {
    int x;
    int y;
};

struct flags {
    unsigned ready : 1;
    unsigned mode : 3;
    int after;
};

typedef struct {
    char name[8];
    int id;
} record_t;

struct hidden;

union value {
    long l;
    float f;
    unsigned char b[4];
};

typedef int (*handler_t)(int);

int twice(int v);
int sum_points(struct point *p, int n);
