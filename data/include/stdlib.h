/* stdlib.h - general utilities for tcx09 (KY09, MC6809).
 * int is 16 bits and long 32, so abs(INT_MIN) and labs(LONG_MIN) give
 * their argument back, as two's complement does.
 *
 * The heap: malloc, calloc and realloc take their blocks first-fit from
 * the memory behind the program (the linker's __heap_start) up to 256
 * bytes below the stack pointer of the moment they are called. They give
 * NULL when no block fits. malloc(0) gives a block of its own that free
 * takes back.
 *
 * exit and abort end the program at __lowexit, where the debugger and
 * run09 see it stop; the status is left in D (abort leaves 3). */
#ifndef _STDLIB_H
#define _STDLIB_H

#ifndef _SIZE_T
#define _SIZE_T
typedef unsigned int size_t;
#endif

#ifndef _WCHAR_T
#define _WCHAR_T
typedef char wchar_t;
#endif

#ifndef NULL
#define NULL ((void *)0)
#endif

#define EXIT_SUCCESS 0
#define EXIT_FAILURE 1
#define RAND_MAX 32767

typedef struct {
    int quot;
    int rem;
} div_t;

typedef struct {
    long quot;
    long rem;
} ldiv_t;

int abs(int j);
long labs(long j);
div_t div(int numer, int denom);
ldiv_t ldiv(long numer, long denom);

int atoi(const char *s);
long atol(const char *s);
long strtol(const char *s, char **endptr, int base);
unsigned long strtoul(const char *s, char **endptr, int base);

int rand(void);
void srand(unsigned int seed);

void qsort(void *base, size_t nmemb, size_t size, int (*compar)(const void *, const void *));
void *bsearch(const void *key, const void *base, size_t nmemb, size_t size,
              int (*compar)(const void *, const void *));

void *malloc(size_t size);
void *calloc(size_t nmemb, size_t size);
void *realloc(void *ptr, size_t size);
void free(void *ptr);

void exit(int status);
void abort(void);

#endif
