/* Stepped under the debugger: a one-line loop, a call, recursion with an
   early return, and a call into the assembler module adder.s09. */
#include <ky09.h>

extern int asm_add(int a, int b);

int counter;
int results[4];

#ifdef MOVED_MAIN
/* A rebuild that puts code before main. */
int padding(int x)
{
    int k;
    k = x * 3;
    return k + 1;
}
#endif

void put_char(char c)
{
    while ((ACIA1_STATUS & ACIA_TDRE) == 0)
        ;
    ACIA1_DATA = c;
}

int sum_to(int n)
{
    int i, s;
    s = 0;
    for (i = 1; i <= n; i++) s += i;
    return s;
}

int fact(int n)
{
    if (n <= 1)
        return 1;
    return n * fact(n - 1);
}

int main(void)
{
    int a, b;
    ACIA1_CONTROL = ACIA_RESET;
    ACIA1_CONTROL = 0x15;
    a = sum_to(4);
    b = fact(3);
    counter = asm_add(a, b);
    results[0] = counter;
    put_char('o');
    put_char('k');
    put_char('\n');
    return 0;
}
