/* stdio.h - console input and output for tcx09 (KY09, MC6809), over
 * ACIA 1, the board's console port (set up on first use: 8 data bits,
 * no parity, one stop bit, clock / 16). Output is not buffered; '\n' goes
 * out as one byte. Input comes byte by byte as it arrives; fgets ends a
 * line at '\n' or '\r' and stores '\n' for either (a '\n' right after
 * '\r' belongs to the same line end).
 *
 * printf, sprintf and vsprintf take the conversions d i u x X o c s p n %
 * with the flags '-', '0', '+', ' ' and '#', a width and a precision (also
 * '*'), the length l for long arguments, and f e E g G for float, double
 * and long double (the length L), which are the same 4-byte type. %p prints
 * a pointer as four hexadecimal digits. %n stores the number of characters
 * written so far into the int its argument points to (%hn a short, %ln a
 * long, %hhn a char).
 *
 * Arguments through '...' keep their own size: an int takes two bytes,
 * a char one. Conversions of int (d, i, u, x, X, o, c) read two bytes, so
 * a char variable is passed as (int)c, or printed with the length hh,
 * which reads one byte ("%hhd", "%hhc"; h alone is int). */
#ifndef _STDIO_H
#define _STDIO_H

#include <stdarg.h>

#ifndef _SIZE_T
#define _SIZE_T
typedef unsigned int size_t;
#endif

#ifndef NULL
#define NULL ((void *)0)
#endif

#define EOF (-1)

typedef struct _file FILE;
extern FILE *stdin;
extern FILE *stdout;

int putchar(int c);
int getchar(void);
int puts(const char *s);
char *fgets(char *s, int n, FILE *stream);

int printf(const char *format, ...);
int sprintf(char *s, const char *format, ...);
int vsprintf(char *s, const char *format, va_list ap);

#endif
