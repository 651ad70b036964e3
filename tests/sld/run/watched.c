/* Globals of many shapes, filled with known patterns for the watch tests. */
struct inner {
    char tag;
    int v;
};

struct outer {
    int a;
    struct inner in;
    long l;
    unsigned char bytes[3];
    struct inner pair[2];
};

struct bits {
    int first;
    unsigned lo : 3;
    unsigned hi : 5;
    int after;
    char last;
};

union mix {
    long l;
    int w[2];
    unsigned char b[4];
};

struct node {
    int value;
    struct node *next;
};

struct outer nest;
struct bits bf;
union mix un;
int big[300];
char *greeting;
struct node n1, n2;
struct node *head;
float fl;
long lg;
unsigned long ul;
unsigned char uc;
char ch;
short sh;
unsigned int ui;
static int hidden;

int fill(int k)
{
    int i;
    int local;
    local = k * 2;
    nest.a = 0x1234;
    nest.in.tag = 'Q';
    nest.in.v = -2;
    nest.l = 100000L;
    nest.bytes[0] = 1;
    nest.bytes[1] = 2;
    nest.bytes[2] = 3;
    nest.pair[1].tag = 'Z';
    nest.pair[1].v = 77;
    bf.first = 7;
    bf.lo = 5;
    bf.hi = 19;
    bf.after = -300;
    bf.last = 'x';
    un.l = 0x11223344L;
    for (i = 0; i < 300; i++)
        big[i] = i * 3;
    greeting = "Hello, KY09";
    n1.value = 10;
    n1.next = &n2;
    n2.value = 20;
    n2.next = 0;
    head = &n1;
    fl = 1.5;
    lg = -5L;
    ul = 3000000000UL;
    uc = 0xFF;
    ch = 'A';
    sh = -2;
    ui = 65535U;
    hidden = 42;
    return local + 1;
}

int main(void)
{
    int r;
    r = fill(21);
    return r - 43;
}
