/* ctype.h - character classes for tcx09 (KY09, MC6809), in the "C"
 * locale: ASCII, and no byte from 128 up belongs to any class. The
 * argument is an int holding an unsigned char value or EOF (-1). */
#ifndef _CTYPE_H
#define _CTYPE_H

int isalnum(int c);
int isalpha(int c);
int iscntrl(int c);
int isdigit(int c);
int isgraph(int c);
int islower(int c);
int isprint(int c);
int ispunct(int c);
int isspace(int c);
int isupper(int c);
int isxdigit(int c);
int tolower(int c);
int toupper(int c);

#endif
