/* setjmp and longjmp across calls, and exit from deep inside. */
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>

static jmp_buf env;
static int depth;

static void dive(int n)
{
    char pad[20];
    pad[0] = (char)n;
    depth++;
    if (n == 0)
        longjmp(env, pad[0] + 7);
    dive(n - 1);
}

static void zero(void) { longjmp(env, 0); }

int main(void)
{
    volatile int rounds = 0;
    int r = setjmp(env);
    printf("setjmp %d\n", r);
    if (rounds++ == 0)
        dive(5);
    if (rounds == 2)
        zero();
    printf("depth %d rounds %d\n", depth, rounds);
    exit(3);
    printf("not reached\n");
    return 0;
}
