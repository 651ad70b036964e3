int f(int a, ...);
int g(a, b)
int a;
long b;
{
    return a;
}
static int s(void) { return 1; }
int __interrupt irq(int x) { }
int after = 1;
