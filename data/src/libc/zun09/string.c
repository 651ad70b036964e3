/* The string and memory functions that are not in assembler. */
#include <string.h>

int memcmp(const void *a, const void *b, size_t n)
{
    const unsigned char *p = a;
    const unsigned char *q = b;
    for (; n; n--, p++, q++)
        if (*p != *q)
            return *p - *q;
    return 0;
}

void *memchr(const void *s, int c, size_t n)
{
    const unsigned char *p = s;
    unsigned char b = (unsigned char)c;
    for (; n; n--, p++)
        if (*p == b)
            return (void *)p;
    return NULL;
}

char *strncpy(char *dest, const char *src, size_t n)
{
    char *d = dest;
    while (n && *src) {
        *d++ = *src++;
        n--;
    }
    while (n--)
        *d++ = 0;
    return dest;
}

char *strcat(char *dest, const char *src)
{
    (void)strcpy(dest + strlen(dest), src);
    return dest;
}

char *strncat(char *dest, const char *src, size_t n)
{
    char *d = dest + strlen(dest);
    while (n-- && *src)
        *d++ = *src++;
    *d = 0;
    return dest;
}

int strncmp(const char *a, const char *b, size_t n)
{
    const unsigned char *p = (const unsigned char *)a;
    const unsigned char *q = (const unsigned char *)b;
    for (; n; n--, p++, q++) {
        if (*p != *q)
            return *p - *q;
        if (!*p)
            break;
    }
    return 0;
}

char *strchr(const char *s, int c)
{
    char b = (char)c;
    for (;; s++) {
        if (*s == b)
            return (char *)s;
        if (!*s)
            return NULL;
    }
}

char *strrchr(const char *s, int c)
{
    char b = (char)c;
    const char *found = NULL;
    for (;; s++) {
        if (*s == b)
            found = s;
        if (!*s)
            return (char *)found;
    }
}

char *strstr(const char *s, const char *find)
{
    size_t n = strlen(find);
    if (!n)
        return (char *)s;
    for (; *s; s++)
        if (*s == *find && !strncmp(s, find, n))
            return (char *)s;
    return NULL;
}

size_t strspn(const char *s, const char *accept)
{
    const char *p = s;
    while (*p && strchr(accept, *p))
        p++;
    return p - s;
}

size_t strcspn(const char *s, const char *reject)
{
    const char *p = s;
    while (*p && !strchr(reject, *p))
        p++;
    return p - s;
}

char *strpbrk(const char *s, const char *accept)
{
    s += strcspn(s, accept);
    return *s ? (char *)s : NULL;
}

char *strtok(char *s, const char *delim)
{
    static char *next;
    if (!s)
        s = next;
    if (!s)
        return NULL;
    s += strspn(s, delim);
    if (!*s) {
        next = NULL;
        return NULL;
    }
    next = s + strcspn(s, delim);
    if (*next)
        *next++ = 0;
    else
        next = NULL;
    return s;
}
