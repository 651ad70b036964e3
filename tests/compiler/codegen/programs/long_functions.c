/* Longs and floats through function calls: parameters in every position,
   results, recursion, loops that accumulate, and function pointers. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

long fact(int n) { return n <= 1 ? 1 : n * fact(n - 1); }

unsigned long fib(int n)
{
    unsigned long a = 0, b = 1, t;
    while (n-- > 0) {
        t = a + b;
        a = b;
        b = t;
    }
    return a;
}

float mix(char c, long l, int i, float f) { return c + l + i + f; }

long pick(long a, long b, int first) { return first ? a : b; }

float square(float x) { return x * x; }

float apply(float (*fn)(float), float v) { return fn(v); }

long gcd(long a, long b)
{
    while (b != 0) {
        long t = a % b;
        a = b;
        b = t;
    }
    return a;
}

int main(void)
{
    float sum = 0;
    int i;
    long r;
    init_io();
    r = fact(12);                        /* 479001600 = 0x1C8CFC00 */
    expect((int)(r >> 16), 0x1C8C, 1);
    expect((int)r, 0xFC00, 2);
    r = fib(40);                         /* 102334155 = 0x06197ECB */
    expect((int)(r >> 16), 0x0619, 3);
    expect((int)r, 0x7ECB, 4);
    expect((int)mix(1, 100000, -3, 0.5), -31072 + 1 - 3, 5);
    expect(mix(1, 2, 3, 0.5) == 6.5, 1, 6);
    expect((int)pick(5, 0x50000, 0), 0, 7);
    expect((int)(pick(5, 0x50000, 0) >> 16), 5, 8);
    expect((int)pick(5, 0x50000, 1), 5, 9);
    expect((int)apply(square, 12.0), 144, 10);
    for (i = 0; i < 10; i++)
        sum += 0.25;
    expect(sum == 2.5, 1, 11);
    expect((int)gcd(1071L * 65536, 462L * 65536), 0, 12);
    expect((int)(gcd(1071L * 65536, 462L * 65536) >> 16), 21, 13);
    return finish();
}
