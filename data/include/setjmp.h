/* setjmp.h - non-local jumps for tcx09 (KY09, MC6809). A jmp_buf keeps
 * the return address and S, U and Y of the setjmp call; compiled code
 * keeps nothing else in registers across a call. */
#ifndef _SETJMP_H
#define _SETJMP_H

typedef char jmp_buf[8];

int setjmp(jmp_buf env);
void longjmp(jmp_buf env, int val);

#endif
