/* Test support linked into every program: a console on ACIA 1 and the
   checks that count failures. Output in hexadecimal keeps the runtime
   routines out of the support itself. */
static int failures;

void init_io(void)
{
    *(unsigned char *)0xE028 = 3;
    *(unsigned char *)0xE028 = 0x15;
}

void put_char(char c)
{
    while ((*(unsigned char *)0xE028 & 2) == 0)
        ;
    *(unsigned char *)0xE029 = c;
}

void put_str(char *s)
{
    while (*s)
        put_char(*s++);
}

void put_hex(unsigned v)
{
    int i;
    for (i = 12; i >= 0; i -= 4)
        put_char("0123456789ABCDEF"[(v >> i) & 15]);
}

void expect(int got, int want, int id)
{
    if (got != want) {
        put_str("FAIL ");
        put_hex(id);
        put_str(" got ");
        put_hex(got);
        put_str(" want ");
        put_hex(want);
        put_char('\n');
        ++failures;
    }
}

int finish(void)
{
    if (failures == 0)
        put_str("ok\n");
    return failures;
}
