static int unused;
static int used;
int *pu = &used;
static int g(void);
int (*pg)(void) = g;
static int h(void);
static int later = 1;
