/* memory io */
#define ACIA_STATUS (*(volatile unsigned char *)0xE000)
#define ACIA_DATA (*(volatile unsigned char *)0xE001)

void put_char(char c)
{
    while (!(ACIA_STATUS & 2))
        ;
    ACIA_DATA = c;
}

void put_string(const char *s)
{
    while (*s)
        put_char(*s++);
}

int main(void)
{
    put_string("KY09\r\n");
    return 0;
}
