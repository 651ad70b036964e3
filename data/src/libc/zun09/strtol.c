/* strtol, strtoul, atoi and atol. */
#include <ctype.h>
#include <errno.h>
#include <limits.h>
#include <stdlib.h>

/* The digits of s in the base (0: from the prefix) as an unsigned long;
 * *over is set when the value does not fit, *neg for a leading '-', and
 * *end is where the number ended (s itself without one). */
static unsigned long scan(const char *s, const char **end, int base, int *neg, int *over)
{
    const char *p = s;
    unsigned long v = 0, limit;
    int d, digits = 0, last;
    *neg = 0;
    *over = 0;
    *end = s;
    if (base < 0 || base == 1 || base > 36)
        return 0;
    while (isspace((unsigned char)*p))
        p++;
    if (*p == '-' || *p == '+')
        *neg = *p++ == '-';
    if ((base == 0 || base == 16) && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && isxdigit((unsigned char)p[2])) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = *p == '0' ? 8 : 10;
    }
    limit = ULONG_MAX / (unsigned)base;
    last = (int)(ULONG_MAX % (unsigned)base);
    for (;; p++) {
        if (isdigit((unsigned char)*p))
            d = *p - '0';
        else if (isalpha((unsigned char)*p))
            d = tolower((unsigned char)*p) - 'a' + 10;
        else
            break;
        if (d >= base)
            break;
        digits = 1;
        if (v > limit || (v == limit && d > last))
            *over = 1;
        else
            v = v * (unsigned)base + (unsigned)d;
    }
    if (digits)
        *end = p;
    return v;
}

long strtol(const char *s, char **endptr, int base)
{
    const char *end;
    int neg, over;
    unsigned long v = scan(s, &end, base, &neg, &over);
    if (endptr)
        *endptr = (char *)end;
    if (neg ? v > (unsigned long)LONG_MAX + 1 : v > (unsigned long)LONG_MAX)
        over = 1;
    if (over) {
        errno = ERANGE;
        return neg ? LONG_MIN : LONG_MAX;
    }
    return neg ? -(long)v : (long)v;
}

unsigned long strtoul(const char *s, char **endptr, int base)
{
    const char *end;
    int neg, over;
    unsigned long v = scan(s, &end, base, &neg, &over);
    if (endptr)
        *endptr = (char *)end;
    if (over) {
        errno = ERANGE;
        return ULONG_MAX;
    }
    return neg ? ~v + 1 : v;
}

long atol(const char *s) { return strtol(s, NULL, 10); }

int atoi(const char *s) { return (int)strtol(s, NULL, 10); }
