/* arith unsigned */
unsigned op_unsigned_0(unsigned a, unsigned b) { return a + b; }

unsigned op_unsigned_1(unsigned a, unsigned b) { return a - b; }

unsigned op_unsigned_2(unsigned a, unsigned b) { return a * b; }

unsigned op_unsigned_3(unsigned a, unsigned b) { return a / b; }

unsigned op_unsigned_4(unsigned a, unsigned b) { return a < b; }

unsigned op_unsigned_5(unsigned a, unsigned b) { return a == b; }

unsigned op_unsigned_6(unsigned a, unsigned b) { return a && b; }

unsigned op_unsigned_7(unsigned a, unsigned b) { return a || b; }

unsigned iop_unsigned_0(unsigned a, unsigned b) { return a % b; }

unsigned iop_unsigned_1(unsigned a, unsigned b) { return a & b; }

unsigned iop_unsigned_2(unsigned a, unsigned b) { return a | b; }

unsigned iop_unsigned_3(unsigned a, unsigned b) { return a ^ b; }

unsigned iop_unsigned_4(unsigned a, unsigned b) { return a << b; }

unsigned iop_unsigned_5(unsigned a, unsigned b) { return a >> b; }

int main(void)
{
    unsigned x = 7, y = 3;
    unsigned z;
    z = op_unsigned_0(x, y) + op_unsigned_2(x, y);
    x += y;
    y -= 1;
    return (int)(z + x + y);
}
