/* volatile poll */
#define PIA ((volatile unsigned char *)0xE004)

int wait_key(void)
{
    int timeout = 1000;
    while (!(PIA[1] & 0x80) && --timeout)
        ;
    return timeout ? PIA[0] : -1;
}

int main(void)
{
    return wait_key();
}
