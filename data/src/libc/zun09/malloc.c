/* The heap: blocks laid end to end from __heap_start, each with a header
 * word that holds the block's size (header included, always even) and, in
 * its low bit, whether the block is in use. The last block ends at the
 * heap's top; the heap grows while its top stays 256 bytes below the stack
 * pointer. malloc takes the first free block that fits, joining free
 * neighbours on the way and splitting off what it does not need. */
#include <stdlib.h>
#include <string.h>

#define USED 1u
#define MARGIN 256u
#define HEADER sizeof(unsigned)

extern char _heap_start;        /* set by the linker behind bss */
unsigned _stack_pointer(void);  /* S of the caller */

static char *top;  /* the end of the last block */

#define SIZE(b) (*(unsigned *)(b) & ~USED)
#define IS_USED(b) (*(unsigned *)(b) & USED)

/* The total block size for a request, or 0 when it cannot be had. */
static unsigned block_size(size_t size)
{
    if (size > 0xFFF0u)
        return 0;
    return (size + HEADER + 1) & ~1u;
}

/* Room above the top, below the stack's margin. */
static int room(unsigned need)
{
    unsigned limit = _stack_pointer() - MARGIN;
    return (unsigned)top <= limit && need <= limit - (unsigned)top;
}

void *malloc(size_t size)
{
    char *b, *next;
    unsigned need = block_size(size), have;
    if (!need)
        return NULL;
    if (!top)
        top = &_heap_start;
    for (b = &_heap_start; b < top; b += SIZE(b)) {
        if (IS_USED(b))
            continue;
        /* free neighbours join this block first */
        for (next = b + SIZE(b); next < top && !IS_USED(next); next = b + SIZE(b))
            *(unsigned *)b += SIZE(next);
        have = SIZE(b);
        if (have < need && b + have == top && room(need - have)) {
            /* the last block grows into the space above */
            top = b + need;
            have = need;
        }
        if (have < need)
            continue;
        break;
    }
    if (b == top) {
        /* nothing free fits: a new block at the top */
        if (!room(need))
            return NULL;
        top += need;
        have = need;
    }
    if (have - need >= HEADER + 2) {
        *(unsigned *)(b + need) = have - need;
        have = need;
    }
    *(unsigned *)b = have | USED;
    return b + HEADER;
}

void free(void *ptr)
{
    char *b, *next;
    if (!ptr)
        return;
    b = (char *)ptr - HEADER;
    *(unsigned *)b &= ~USED;
    for (next = b + SIZE(b); next < top && !IS_USED(next); next = b + SIZE(b))
        *(unsigned *)b += SIZE(next);
    /* a free block at the top goes back to the space above */
    if (next == top)
        top = b;
}

void *calloc(size_t nmemb, size_t size)
{
    void *p;
    unsigned long total = (unsigned long)nmemb * size;
    if (total > 0xFFF0UL)
        return NULL;
    p = malloc((size_t)total);
    if (p)
        (void)memset(p, 0, (size_t)total);
    return p;
}

void *realloc(void *ptr, size_t size)
{
    char *b, *next, *p;
    unsigned need = block_size(size), have;
    if (!ptr)
        return malloc(size);
    if (!need)
        return NULL;
    b = (char *)ptr - HEADER;
    have = SIZE(b);
    /* the free blocks behind it join it; at the top it may grow */
    for (next = b + have; next < top && !IS_USED(next); next = b + have) {
        have += SIZE(next);
        *(unsigned *)b = have | USED;
    }
    if (have < need && b + have == top && room(need - have)) {
        top = b + need;
        have = need;
    }
    if (have >= need) {
        if (have - need >= HEADER + 2) {
            *(unsigned *)(b + need) = have - need;
            have = need;
        }
        *(unsigned *)b = have | USED;
        return ptr;
    }
    *(unsigned *)b = have | USED;
    p = malloc(size);
    if (!p)
        return NULL;
    (void)memcpy(p, ptr, SIZE(b) - HEADER);
    free(ptr);
    return p;
}
