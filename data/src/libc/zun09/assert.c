/* The message of a failed assertion, then abort. */
#include <stdio.h>
#include <stdlib.h>

void __assert_fail(const char *expr, const char *file, int line)
{
    (void)printf("Assertion failed: %s, file %s, line %d\n", expr, file, line);
    abort();
}
