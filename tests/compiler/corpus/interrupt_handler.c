/* interrupt handler */
static volatile unsigned ticks;

void __interrupt timer_isr(void)
{
    ticks++;
}

void delay(unsigned n)
{
    unsigned start = ticks;
    while ((unsigned)(ticks - start) < n)
        ;
}

int main(void)
{
    delay(10);
    return 0;
}
