/* arith short */
short op_short_0(short a, short b) { return a + b; }

short op_short_1(short a, short b) { return a - b; }

short op_short_2(short a, short b) { return a * b; }

short op_short_3(short a, short b) { return a / b; }

short op_short_4(short a, short b) { return a < b; }

short op_short_5(short a, short b) { return a == b; }

short op_short_6(short a, short b) { return a && b; }

short op_short_7(short a, short b) { return a || b; }

short iop_short_0(short a, short b) { return a % b; }

short iop_short_1(short a, short b) { return a & b; }

short iop_short_2(short a, short b) { return a | b; }

short iop_short_3(short a, short b) { return a ^ b; }

short iop_short_4(short a, short b) { return a << b; }

short iop_short_5(short a, short b) { return a >> b; }

int main(void)
{
    short x = 7, y = 3;
    short z;
    z = op_short_0(x, y) + op_short_2(x, y);
    x += y;
    y -= 1;
    return (int)(z + x + y);
}
