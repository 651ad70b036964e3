/* printf, sprintf and vsprintf over one formatter. Integers are written
 * from their unsigned long magnitude; a float from the exact decimal
 * expansion of its binary value, rounded half to even at the last digit
 * shown, so the digits are those of other C libraries. */
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#define LEFT 1
#define ZERO 2
#define PLUS 4
#define SPACE 8
#define ALT 16

#define MAXPREC 99

struct sink {
    char *buf; /* NULL: the console */
    int count;
};

static void put(struct sink *k, char c)
{
    if (k->buf)
        *k->buf++ = c;
    else
        (void)putchar(c);
    k->count++;
}

static void repeat(struct sink *k, char c, int n)
{
    while (n-- > 0)
        put(k, c);
}

/* The prefix (sign, 0x), zeros and the text, padded to the width. */
static void field(struct sink *k, const char *prefix, int zeros, const char *s, int len, int width, int flags)
{
    int pad = width - (int)strlen(prefix) - zeros - len;
    if (!(flags & (LEFT | ZERO)))
        repeat(k, ' ', pad);
    while (*prefix)
        put(k, *prefix++);
    if ((flags & (LEFT | ZERO)) == ZERO)
        repeat(k, '0', pad);
    repeat(k, '0', zeros);
    while (len-- > 0)
        put(k, *s++);
    if (flags & LEFT)
        repeat(k, ' ', pad);
}

static const char *sign_of(int neg, int flags)
{
    return neg ? "-" : (flags & PLUS) ? "+" : (flags & SPACE) ? " " : "";
}

static void integer(struct sink *k, unsigned long v, int neg, unsigned base, int upper, int flags, int width,
                    int prec)
{
    char digits[12];
    char prefix[4];
    char *p = digits + sizeof digits;
    const char *set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    int len, zeros;
    int nonzero = v != 0;
    while (v) {
        *--p = set[(unsigned)(v % base)];
        v /= base;
    }
    len = (int)(digits + sizeof digits - p);
    if (prec < 0)
        prec = 1;
    else
        flags &= ~ZERO;
    zeros = prec > len ? prec - len : 0;
    (void)strcpy(prefix, sign_of(neg, flags));
    if ((flags & ALT) && base == 16 && nonzero)
        (void)strcat(prefix, upper ? "0X" : "0x");
    if ((flags & ALT) && base == 8 && zeros == 0 && (len == 0 || *p != '0'))
        zeros = 1;
    field(k, prefix, zeros, p, len, width, flags);
}

/* ---- the exact decimal expansion of a float ---- */

static char idig[40];         /* the integer part's digits, most significant first */
static int ni;                /* how many (0 for a value below 1) */
static unsigned char frac[20]; /* the fraction's bits, most significant first */
static int flen;

/* value = m * 2^e with m below 2^24 */
static void expand(unsigned long m, int e)
{
    unsigned char big[17];
    unsigned long ip, fr;
    int i, k, s, r, t;
    (void)memset(frac, 0, sizeof frac);
    flen = 0;
    ni = 0;
    if (e >= 0) {
        /* an integer of up to 128 bits: divided by 10 for its digits */
        (void)memset(big, 0, sizeof big);
        for (i = 0; m; i++, m >>= 8)
            big[16 - i] = (unsigned char)m;
        for (; e > 0; e--) {
            for (i = 0, r = 0; i < 17; i++) {
                t = big[16 - i] * 2 + r;
                big[16 - i] = (unsigned char)t;
                r = t >> 8;
            }
        }
        for (;;) {
            for (i = 0, k = 0; i < 17; i++)
                k |= big[i];
            if (!k)
                break;
            for (i = 0, r = 0; i < 17; i++) {
                t = r * 256 + big[i];
                big[i] = (unsigned char)(t / 10);
                r = t % 10;
            }
            (void)memmove(idig + 1, idig, ni);
            idig[0] = (char)('0' + r);
            ni++;
        }
        return;
    }
    k = -e;
    if (k < 32) {
        ip = m >> k;
        fr = m & ((1UL << k) - 1);
    } else {
        ip = 0;
        fr = m;
    }
    for (; ip; ip /= 10) {
        (void)memmove(idig + 1, idig, ni);
        idig[0] = (char)('0' + (int)(ip % 10));
        ni++;
    }
    flen = (k + 7) / 8;
    s = 8 * flen - k;
    fr <<= s;
    for (i = flen - 1; fr; i--, fr >>= 8)
        frac[i] = (unsigned char)fr;
}

/* The next digit of the fraction. */
static int fraction_digit(void)
{
    int i;
    unsigned t, carry = 0;
    for (i = flen - 1; i >= 0; i--) {
        t = ((unsigned)frac[i] << 3) + ((unsigned)frac[i] << 1) + carry;
        frac[i] = (unsigned char)t;
        carry = t >> 8;
    }
    return (int)carry;
}

static int fraction_left(void)
{
    int i;
    for (i = 0; i < flen; i++)
        if (frac[i])
            return 1;
    return 0;
}

/* Rounds the n digits in d half to even, given the next digit and whether
 * anything follows it; 1 when the carry ran out at the front (d is then
 * "100..."). */
static int round_digits(char *d, int n, int next, int more)
{
    int i;
    if (next < 5 || (next == 5 && !more && (n == 0 || !((d[n - 1] - '0') & 1))))
        return 0;
    for (i = n - 1; i >= 0; i--) {
        if (d[i] != '9') {
            d[i]++;
            return 0;
        }
        d[i] = '0';
    }
    if (n > 0)
        d[0] = '1';
    return 1;
}

/* %f: the integer digits, and prec digits after the point; the length. */
static int fixed(char *out, int prec, int flags)
{
    char *d = out;
    int n, i;
    if (ni) {
        (void)memcpy(d, idig, ni);
        n = ni;
    } else {
        d[0] = '0';
        n = 1;
    }
    for (i = 0; i < prec; i++)
        d[n++] = (char)('0' + fraction_digit());
    i = fraction_digit();
    /* a carry out at the front leaves "100..": one digit more */
    if (round_digits(d, n, i, fraction_left()))
        d[n++] = '0';
    /* the point goes in before the prec last digits */
    if (prec > 0 || (flags & ALT)) {
        (void)memmove(d + n - prec + 1, d + n - prec, prec);
        d[n - prec] = '.';
        n++;
    }
    return n;
}

/* The prec + 1 significant digits of %e; their power of ten in *x. */
static void significant(char *d, int prec, int *x)
{
    int want = prec + 1, n = 0, i, next, more = 0, z = 0;
    if (ni) {
        *x = ni - 1;
        for (; n < want && n < ni; n++)
            d[n] = idig[n];
        if (n < ni) {
            next = idig[n] - '0';
            for (i = n + 1; i < ni; i++)
                more |= idig[i] != '0';
            more |= fraction_left();
        } else {
            for (; n < want; n++)
                d[n] = (char)('0' + fraction_digit());
            next = fraction_digit();
            more = fraction_left();
        }
    } else if (!fraction_left()) {
        *x = 0;
        for (; n < want; n++)
            d[n] = '0';
        next = 0;
    } else {
        while ((next = fraction_digit()) == 0)
            z++;
        *x = -(z + 1);
        d[n++] = (char)('0' + next);
        for (; n < want; n++)
            d[n] = (char)('0' + fraction_digit());
        next = fraction_digit();
        more = fraction_left();
    }
    if (round_digits(d, want, next, more))
        ++*x;
}

/* %e: d.ddde+xx; the length. */
static int exponent_form(char *out, int prec, int flags, int upper)
{
    char d[MAXPREC + 2];
    int x, n = 0, i;
    significant(d, prec, &x);
    out[n++] = d[0];
    if (prec > 0 || (flags & ALT))
        out[n++] = '.';
    for (i = 1; i <= prec; i++)
        out[n++] = d[i];
    out[n++] = upper ? 'E' : 'e';
    out[n++] = x < 0 ? '-' : '+';
    if (x < 0)
        x = -x;
    if (x >= 100)
        out[n++] = (char)('0' + x / 100);
    out[n++] = (char)('0' + x / 10 % 10);
    out[n++] = (char)('0' + x % 10);
    return n;
}

static void floating(struct sink *k, float f, char conv, int flags, int width, int prec)
{
    char out[MAXPREC + 50];
    union {
        float f;
        unsigned long u;
    } bits;
    unsigned long m;
    int e, n, neg, upper = conv == 'E' || conv == 'G', x, p;
    char d[MAXPREC + 2];
    bits.f = f;
    neg = (bits.u & 0x80000000UL) != 0;
    e = (int)(bits.u >> 23) & 0xFF;
    m = bits.u & 0x7FFFFFUL;
    if (e == 0xFF) {
        (void)strcpy(out, m ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf"));
        field(k, sign_of(neg, flags), 0, out, 3, width, flags & ~ZERO);
        return;
    }
    if (e == 0) {
        e = -149;
    } else {
        m |= 0x800000UL;
        e -= 150;
    }
    if (prec < 0)
        prec = 6;
    if (prec > MAXPREC)
        prec = MAXPREC;
    expand(m, e);
    if (conv == 'f' || conv == 'F') {
        n = fixed(out, prec, flags);
    } else if (conv == 'e' || conv == 'E') {
        n = exponent_form(out, prec, flags, upper);
    } else {
        /* %g: the exponent of the value rounded to p digits decides */
        p = prec ? prec : 1;
        significant(d, p - 1, &x);
        expand(m, e);
        if (p > x && x >= -4)
            n = fixed(out, p - 1 - x, flags);
        else
            n = exponent_form(out, p - 1, flags, upper);
        if (!(flags & ALT) && memchr(out, '.', n)) {
            /* trailing zeros of the fraction go, and a point left alone */
            char *mark = memchr(out, upper ? 'E' : 'e', n);
            int end = mark ? (int)(mark - out) : n, cut = end;
            while (out[cut - 1] == '0')
                cut--;
            if (out[cut - 1] == '.')
                cut--;
            (void)memmove(out + cut, out + end, n - end);
            n -= end - cut;
        }
    }
    field(k, sign_of(neg, flags), 0, out, n, width, flags);
}

/* ---- the formatter ---- */

static int format(struct sink *k, const char *fmt, va_list ap)
{
    int flags, width, prec, longarg, bytearg;
    long sv;
    unsigned long uv;
    const char *s;
    char c;
    for (; *fmt; fmt++) {
        if (*fmt != '%') {
            put(k, *fmt);
            continue;
        }
        flags = 0;
        for (;;) {
            c = *++fmt;
            if (c == '-') flags |= LEFT;
            else if (c == '0') flags |= ZERO;
            else if (c == '+') flags |= PLUS;
            else if (c == ' ') flags |= SPACE;
            else if (c == '#') flags |= ALT;
            else break;
        }
        width = 0;
        if (*fmt == '*') {
            width = va_arg(ap, int);
            if (width < 0) {
                flags |= LEFT;
                width = -width;
            }
            fmt++;
        } else {
            while (*fmt >= '0' && *fmt <= '9')
                width = width * 10 + (*fmt++ - '0');
        }
        prec = -1;
        if (*fmt == '.') {
            prec = 0;
            if (*++fmt == '*') {
                prec = va_arg(ap, int);
                fmt++;
            } else {
                while (*fmt >= '0' && *fmt <= '9')
                    prec = prec * 10 + (*fmt++ - '0');
            }
        }
        longarg = bytearg = 0;
        if (*fmt == 'l') {
            longarg = 1;
            fmt++;
        } else if (*fmt == 'h') {
            if (*++fmt == 'h') {
                bytearg = 1;
                fmt++;
            }
        } else if (*fmt == 'L') {
            /* long double is the same 4-byte type as double */
            fmt++;
        }
        if (flags & LEFT)
            flags &= ~ZERO;
        switch (c = *fmt) {
        case 'd':
        case 'i':
            sv = longarg ? va_arg(ap, long) : bytearg ? va_arg(ap, char) : va_arg(ap, int);
            uv = sv < 0 ? ~(unsigned long)sv + 1 : (unsigned long)sv;
            integer(k, uv, sv < 0, 10u, 0, flags, width, prec);
            break;
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            uv = longarg ? va_arg(ap, unsigned long)
                 : bytearg ? (unsigned char)va_arg(ap, char)
                           : va_arg(ap, unsigned);
            integer(k, uv, 0, c == 'u' ? 10u : c == 'o' ? 8u : 16u, c == 'X', flags & ~(PLUS | SPACE), width, prec);
            break;
        case 'p':
            integer(k, (unsigned long)(unsigned)va_arg(ap, void *), 0, 16u, 1, flags & ~(PLUS | SPACE | ALT), width, 4);
            break;
        case 'c':
            c = bytearg ? va_arg(ap, char) : (char)va_arg(ap, int);
            field(k, "", 0, &c, 1, width, flags & ~ZERO);
            break;
        case 's':
            s = va_arg(ap, const char *);
            if (!s)
                s = "(null)";
            {
                const char *end = prec >= 0 ? memchr(s, 0, prec) : NULL;
                int len = prec >= 0 ? (end ? (int)(end - s) : prec) : (int)strlen(s);
                field(k, "", 0, s, len, width, flags & ~ZERO);
            }
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
            floating(k, (float)va_arg(ap, double), c, flags, width, prec);
            break;
        case 'n':
            /* the count so far; short has int's size */
            if (longarg)
                *va_arg(ap, long *) = k->count;
            else if (bytearg)
                *va_arg(ap, char *) = (char)k->count;
            else
                *va_arg(ap, int *) = k->count;
            break;
        case '%':
            put(k, '%');
            break;
        default:
            /* not a conversion: shown as it stands */
            if (!c)
                return k->count;
            put(k, '%');
            put(k, c);
            break;
        }
    }
    return k->count;
}

int vsprintf(char *s, const char *fmt, va_list ap)
{
    struct sink k;
    k.buf = s;
    k.count = 0;
    (void)format(&k, fmt, ap);
    *k.buf = 0;
    return k.count;
}

int sprintf(char *s, const char *fmt, ...)
{
    va_list ap;
    int n;
    va_start(ap, fmt);
    n = vsprintf(s, fmt, ap);
    va_end(ap);
    return n;
}

int printf(const char *fmt, ...)
{
    struct sink k;
    va_list ap;
    k.buf = NULL;
    k.count = 0;
    va_start(ap, fmt);
    (void)format(&k, fmt, ap);
    va_end(ap);
    return k.count;
}
