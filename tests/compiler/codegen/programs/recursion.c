/* Recursion: factorial, Fibonacci, Ackermann's small values, mutual calls. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int fact(int n) { return n <= 1 ? 1 : n * fact(n - 1); }
int fib(int n) { return n < 2 ? n : fib(n - 1) + fib(n - 2); }
int ack(int m, int n)
{
    if (m == 0) return n + 1;
    if (n == 0) return ack(m - 1, 1);
    return ack(m - 1, ack(m, n - 1));
}
int is_odd(int n);
int is_even(int n) { return n == 0 ? 1 : is_odd(n - 1); }
int is_odd(int n) { return n == 0 ? 0 : is_even(n - 1); }
unsigned gcd(unsigned a, unsigned b) { return b == 0 ? a : gcd(b, a % b); }

int main(void)
{
    init_io();
    expect(fact(7), 5040, 1);
    expect(fact(8), -25216, 2);
    expect(fib(15), 610, 3);
    expect(ack(2, 3), 9, 4);
    expect(is_even(20), 1, 5);
    expect(is_odd(7), 1, 6);
    expect(gcd(0xF000, 0x0F00), 0x0F00, 7);
    expect(gcd(1071, 462), 21, 8);
    return finish();
}
