/* rand and srand: the linear congruential generator of the C standard's
 * example, so a seed gives the same sequence as elsewhere. */
#include <stdlib.h>

static unsigned long next = 1;

int rand(void)
{
    next = next * 1103515245UL + 12345UL;
    return (int)((unsigned)(next >> 16) & 32767u);
}

void srand(unsigned int seed) { next = seed; }
