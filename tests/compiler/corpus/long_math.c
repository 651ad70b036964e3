/* long math */
long isqrt(long n)
{
    long x = n, y = (x + 1) / 2;
    while (y < x) {
        x = y;
        y = (x + n / x) / 2;
    }
    return x;
}

unsigned long gcd(unsigned long a, unsigned long b)
{
    while (b) {
        unsigned long t = a % b;
        a = b;
        b = t;
    }
    return a;
}

int main(void)
{
    long r = isqrt(1000000L);
    return (int)(r + gcd(123456UL, 7890UL));
}
