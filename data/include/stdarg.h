/* stdarg.h - variable arguments for tcx09 (KY09, MC6809).
 * The caller pushes the arguments last first, so each later argument lies
 * at a higher address. Every argument takes exactly its own size on the
 * stack: a char passed to '...' takes one byte (it is not widened to int),
 * a long, float or double four, a structure its whole size. So va_arg must
 * name the type as it was passed: va_arg(ap, char) for a char argument. */
#ifndef _STDARG_H
#define _STDARG_H

typedef char *va_list;

#define va_start(ap, last) ((void)((ap) = (char *)&(last) + sizeof(last)))
#define va_arg(ap, type) (*(type *)(((ap) += sizeof(type)) - sizeof(type)))
#define va_copy(dest, src) ((void)((dest) = (src)))
#define va_end(ap) ((void)0)

#endif
