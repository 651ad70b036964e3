/* A failed assertion names the expression, the file and the line. */
#include <assert.h>
#include <stdio.h>

int main(void)
{
    int x = 2;
    assert(x == 2);
    printf("first held\n");
    assert(x + 1 == 4);
    printf("not reached\n");
    return 0;
}
