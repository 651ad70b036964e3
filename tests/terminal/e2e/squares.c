/* squares.c - greets on the KY09's console and prints a small table.
 * Loaded by the board's monitor and started with its G command; the
 * monitor has already set up ACIA 1. */
#include <ky09.h>

static void put_char(char c)
{
    while (!(ACIA1_STATUS & ACIA_TDRE))
        ;
    ACIA1_DATA = c;
}

static void put_text(const char *s)
{
    while (*s) {
        if (*s == '\n')
            put_char('\r');
        put_char(*s++);
    }
}

static void put_number(unsigned n)
{
    if (n >= 10)
        put_number(n / 10);
    put_char((char)('0' + n % 10));
}

void main(void)
{
    unsigned i;

    put_text("Hello from the KY09!\n");
    for (i = 1; i <= 12; i++) {
        put_text("  ");
        put_number(i);
        put_text(" squared is ");
        put_number(i * i);
        put_text("\n");
    }
    put_text("Done.\n");
}
