/* float.h - floating types for tcx09 (KY09, MC6809).
 * float, double and long double are all the same 4-byte IEEE-754 single
 * precision format.
 *
 * The runtime library's arithmetic:
 * - Results are rounded to nearest, ties to even.
 * - Subnormal numbers are not kept: an operand below FLT_MIN counts as a
 *   zero of its sign, and a result below FLT_MIN (before rounding) becomes
 *   a zero of its sign. The compiler's constants are flushed the same way.
 * - Infinities and NaNs propagate; a NaN operand gives that NaN back
 *   (made quiet), an invalid operation (inf - inf, 0 * inf, 0 / 0,
 *   inf / inf) gives the NaN 0x7FC00000.
 * - A NaN compares unequal to everything, itself too. After the compare
 *   routine a NaN sets V (unordered) with Z clear.
 * - Conversion to an integer truncates toward zero and saturates out of
 *   range: to long at LONG_MIN and LONG_MAX, to unsigned long at 0 for
 *   every negative value and ULONG_MAX above; a NaN converts to 0. */
#ifndef _FLOAT_H
#define _FLOAT_H

/* The minimum is written with enough digits to lie at or above 2^-126:
 * the shorter usual form is just below it and would flush to zero. */

#define FLT_RADIX 2
#define FLT_ROUNDS 1
#define FLT_EVAL_METHOD 0
#define DECIMAL_DIG 9

#define FLT_MANT_DIG 24
#define FLT_DIG 6
#define FLT_EPSILON 1.19209290E-07F
#define FLT_MIN_EXP (-125)
#define FLT_MIN 1.17549435082228751E-38F
#define FLT_MIN_10_EXP (-37)
#define FLT_MAX_EXP 128
#define FLT_MAX 3.40282347E+38F
#define FLT_MAX_10_EXP 38

#define DBL_MANT_DIG 24
#define DBL_DIG 6
#define DBL_EPSILON 1.19209290E-07
#define DBL_MIN_EXP (-125)
#define DBL_MIN 1.17549435082228751E-38
#define DBL_MIN_10_EXP (-37)
#define DBL_MAX_EXP 128
#define DBL_MAX 3.40282347E+38
#define DBL_MAX_10_EXP 38

#define LDBL_MANT_DIG 24
#define LDBL_DIG 6
#define LDBL_EPSILON 1.19209290E-07L
#define LDBL_MIN_EXP (-125)
#define LDBL_MIN 1.17549435082228751E-38L
#define LDBL_MIN_10_EXP (-37)
#define LDBL_MAX_EXP 128
#define LDBL_MAX 3.40282347E+38L
#define LDBL_MAX_10_EXP 38

#endif
