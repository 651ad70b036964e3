/* arith long */
long op_long_0(long a, long b) { return a + b; }

long op_long_1(long a, long b) { return a - b; }

long op_long_2(long a, long b) { return a * b; }

long op_long_3(long a, long b) { return a / b; }

long op_long_4(long a, long b) { return a < b; }

long op_long_5(long a, long b) { return a == b; }

long op_long_6(long a, long b) { return a && b; }

long op_long_7(long a, long b) { return a || b; }

long iop_long_0(long a, long b) { return a % b; }

long iop_long_1(long a, long b) { return a & b; }

long iop_long_2(long a, long b) { return a | b; }

long iop_long_3(long a, long b) { return a ^ b; }

long iop_long_4(long a, long b) { return a << b; }

long iop_long_5(long a, long b) { return a >> b; }

int main(void)
{
    long x = 7, y = 3;
    long z;
    z = op_long_0(x, y) + op_long_2(x, y);
    x += y;
    y -= 1;
    return (int)(z + x + y);
}
