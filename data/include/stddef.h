/* stddef.h - common definitions for tcx09 (KY09, MC6809).
 * int and pointers are 16 bits, long 32; there is no alignment padding,
 * so offsetof gives the plain byte offset. */
#ifndef _STDDEF_H
#define _STDDEF_H

#ifndef _SIZE_T
#define _SIZE_T
typedef unsigned int size_t;
#endif

typedef int ptrdiff_t;

#ifndef _WCHAR_T
#define _WCHAR_T
typedef char wchar_t;
#endif

#ifndef NULL
#define NULL ((void *)0)
#endif

#define offsetof(type, member) ((size_t)&((type *)0)->member)

#endif
