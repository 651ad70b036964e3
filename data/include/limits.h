/* limits.h - sizes of the integer types for tcx09 (KY09, MC6809).
 * char is signed and 8 bits, short and int 16, long 32.
 *
 * What the runtime library and the constant folder do where C leaves it
 * open (both agree, so constant and run-time results are the same):
 * - Signed division truncates toward zero; the remainder takes the sign of
 *   the dividend. LONG_MIN / -1 gives LONG_MIN, with remainder 0.
 * - Division by zero never traps: the quotient is all one bits (-1, or
 *   the type's maximum when unsigned) and the remainder is the dividend.
 * - A 32-bit shift by 32 or more shifts everything out: 0, or all sign
 *   bits for a right shift of a negative long.
 * - The runtime routines keep X, U, DP and Y (Y unless it carries a 32-bit
 *   result), so hand-written assembler may rely on them across a call. */
#ifndef _LIMITS_H
#define _LIMITS_H

#define CHAR_BIT 8
#define SCHAR_MIN (-128)
#define SCHAR_MAX 127
#define UCHAR_MAX 255
#define CHAR_MIN SCHAR_MIN
#define CHAR_MAX SCHAR_MAX
#define MB_LEN_MAX 1

#define SHRT_MIN (-32767 - 1)
#define SHRT_MAX 32767
#define USHRT_MAX 65535U

#define INT_MIN (-32767 - 1)
#define INT_MAX 32767
#define UINT_MAX 65535U

#define LONG_MIN (-2147483647L - 1)
#define LONG_MAX 2147483647L
#define ULONG_MAX 4294967295UL

#endif
