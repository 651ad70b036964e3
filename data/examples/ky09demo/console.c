/* console.c - the console terminal on ACIA 1 of the KY09 board. */
#include <ky09.h>
#include "ky09demo.h"

void console_init(void)
{
    ACIA1_CONTROL = ACIA_RESET;
    ACIA1_CONTROL = 0x15; /* clock / 16, 8 data bits, no parity, 1 stop bit */
}

void console_put(char c)
{
    while (!(ACIA1_STATUS & ACIA_TDRE))
        ;
    ACIA1_DATA = c;
}

/* A newline goes out as CR LF. */
void console_print(const char *text)
{
    while (*text) {
        if (*text == '\n')
            console_put('\r');
        console_put(*text++);
    }
}

int console_key(void)
{
    if (ACIA1_STATUS & ACIA_RDRF)
        return ACIA1_DATA;
    return -1;
}
