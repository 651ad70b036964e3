/* Stepped under the debugger: a for loop whose increment lies behind its
   body, and a while loop on one line, each with a breakpoint on its line. */
int total;

int main(void)
{
    int k; int n = 0;
    for (k = 0; k < 4; k++)
        total += k;
    while (n < 3) n++;
    return total + n;
}
