/* The console on ACIA 1: putchar, getchar, puts and fgets on stdin. */
#include <stdio.h>

struct _file {
    char id;
};

static FILE in_file = {0};
static FILE out_file = {1};
FILE *stdin = &in_file;
FILE *stdout = &out_file;

#define STATUS (*(volatile unsigned char *)0xE028)
#define DATA (*(volatile unsigned char *)0xE029)

static char ready;     /* the ACIA is set up */
static char after_cr;  /* the last line ended with '\r' */

static void console_setup(void)
{
    if (ready)
        return;
    STATUS = 0x03;  /* master reset */
    STATUS = 0x15;  /* 8 data bits, no parity, 1 stop bit, clock / 16 */
    ready = 1;
}

int putchar(int c)
{
    console_setup();
    while (!(STATUS & 0x02))
        ;
    DATA = (unsigned char)c;
    return (unsigned char)c;
}

int getchar(void)
{
    console_setup();
    while (!(STATUS & 0x01))
        ;
    return DATA;
}

int puts(const char *s)
{
    while (*s)
        (void)putchar(*s++);
    (void)putchar('\n');
    return 1;
}

char *fgets(char *s, int n, FILE *stream)
{
    char *p = s;
    int c;
    if (stream != stdin || n <= 0)
        return NULL;
    while (n > 1) {
        c = getchar();
        if (c == '\n' && after_cr) {
            after_cr = 0;
            continue;
        }
        after_cr = c == '\r';
        if (c == '\r')
            c = '\n';
        *p++ = (char)c;
        n--;
        if (c == '\n')
            break;
    }
    *p = 0;
    return s;
}
