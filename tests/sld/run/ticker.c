/* Stepped under a steady timer interrupt: the timer's routine counts its
   ticks every few instructions while main counts its own steps. The first
   tick is awaited with interrupts masked, so that it is pending at the line
   behind the unmasking. */
#include <ky09.h>

#define VIRQ (*(void (**)(void))0xDFF6)

int ticks;
int steps;

void __interrupt tick(void)
{
    unsigned char s;
    s = TIMER_STATUS;
    s = TIMER1_MSB;
    s = TIMER1_LSB;
    ticks++;
}

void start_timer(void)
{
    VIRQ = tick;
    TIMER_CR2 = 0x01;
    TIMER1_MSB = 16;
    TIMER1_LSB = 0;
    TIMER_CR13 = 0x50;
    while (!(TIMER_STATUS & 0x01))
        ;
    __asm(" ANDCC #$EF");
    steps = 1;
    steps = steps + 1;
}

void count(int n)
{
    int i;
    for (i = 0; i < n; i++)
        steps++;
}

int main(void)
{
    start_timer();
    count(10);
    steps = steps + 1;
    __asm(" ORCC #$10");
    return 0;
}
