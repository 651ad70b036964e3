/* arith unsigned long */
unsigned long op_unsigned_long_0(unsigned long a, unsigned long b) { return a + b; }

unsigned long op_unsigned_long_1(unsigned long a, unsigned long b) { return a - b; }

unsigned long op_unsigned_long_2(unsigned long a, unsigned long b) { return a * b; }

unsigned long op_unsigned_long_3(unsigned long a, unsigned long b) { return a / b; }

unsigned long op_unsigned_long_4(unsigned long a, unsigned long b) { return a < b; }

unsigned long op_unsigned_long_5(unsigned long a, unsigned long b) { return a == b; }

unsigned long op_unsigned_long_6(unsigned long a, unsigned long b) { return a && b; }

unsigned long op_unsigned_long_7(unsigned long a, unsigned long b) { return a || b; }

unsigned long iop_unsigned_long_0(unsigned long a, unsigned long b) { return a % b; }

unsigned long iop_unsigned_long_1(unsigned long a, unsigned long b) { return a & b; }

unsigned long iop_unsigned_long_2(unsigned long a, unsigned long b) { return a | b; }

unsigned long iop_unsigned_long_3(unsigned long a, unsigned long b) { return a ^ b; }

unsigned long iop_unsigned_long_4(unsigned long a, unsigned long b) { return a << b; }

unsigned long iop_unsigned_long_5(unsigned long a, unsigned long b) { return a >> b; }

int main(void)
{
    unsigned long x = 7, y = 3;
    unsigned long z;
    z = op_unsigned_long_0(x, y) + op_unsigned_long_2(x, y);
    x += y;
    y -= 1;
    return (int)(z + x + y);
}
