/* The simulator's end-to-end program: greets on the console (ACIA 1),
 * then answers every key typed with its code, and counts the keys on the
 * lamps of PIA 1. */
#include <ky09.h>

static void put_char(char c)
{
    while (!(ACIA1_STATUS & ACIA_TDRE))
        ;
    ACIA1_DATA = c;
}

static void put_text(const char *s)
{
    while (*s)
        put_char(*s++);
}

static void put_hex(unsigned char v)
{
    put_char("0123456789ABCDEF"[v >> 4]);
    put_char("0123456789ABCDEF"[v & 15]);
}

static char get_char(void)
{
    while (!(ACIA1_STATUS & ACIA_RDRF))
        ;
    return ACIA1_DATA;
}

void main(void)
{
    unsigned char keys = 0;
    char c;
    ACIA1_CONTROL = ACIA_RESET;
    ACIA1_CONTROL = 0x15; /* 8 bits, 1 stop bit, divide by 16 */
    PIA1_CONTROL_A = 0;
    PIA1_DATA_A = 0xFF; /* side A: all outputs */
    PIA1_CONTROL_A = PIA_DATA_SELECT;
    PIA1_DATA_A = 0;
    put_text("KY09 echo ready\r\n");
    for (;;) {
        c = get_char();
        ++keys;
        PIA1_DATA_A = keys;
        put_text("key ");
        put_char(c);
        put_text(" = $");
        put_hex((unsigned char)c);
        put_text("\r\n");
    }
}
