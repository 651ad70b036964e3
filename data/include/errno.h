/* errno.h - error numbers for tcx09 (KY09, MC6809). The library sets
 * errno to ERANGE when strtol or strtoul meet a number out of range. */
#ifndef _ERRNO_H
#define _ERRNO_H

extern int errno;

#define EDOM 33
#define ERANGE 34

#endif
