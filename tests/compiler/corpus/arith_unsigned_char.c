/* arith unsigned char */
unsigned char op_unsigned_char_0(unsigned char a, unsigned char b) { return a + b; }

unsigned char op_unsigned_char_1(unsigned char a, unsigned char b) { return a - b; }

unsigned char op_unsigned_char_2(unsigned char a, unsigned char b) { return a * b; }

unsigned char op_unsigned_char_3(unsigned char a, unsigned char b) { return a / b; }

unsigned char op_unsigned_char_4(unsigned char a, unsigned char b) { return a < b; }

unsigned char op_unsigned_char_5(unsigned char a, unsigned char b) { return a == b; }

unsigned char op_unsigned_char_6(unsigned char a, unsigned char b) { return a && b; }

unsigned char op_unsigned_char_7(unsigned char a, unsigned char b) { return a || b; }

unsigned char iop_unsigned_char_0(unsigned char a, unsigned char b) { return a % b; }

unsigned char iop_unsigned_char_1(unsigned char a, unsigned char b) { return a & b; }

unsigned char iop_unsigned_char_2(unsigned char a, unsigned char b) { return a | b; }

unsigned char iop_unsigned_char_3(unsigned char a, unsigned char b) { return a ^ b; }

unsigned char iop_unsigned_char_4(unsigned char a, unsigned char b) { return a << b; }

unsigned char iop_unsigned_char_5(unsigned char a, unsigned char b) { return a >> b; }

int main(void)
{
    unsigned char x = 7, y = 3;
    unsigned char z;
    z = op_unsigned_char_0(x, y) + op_unsigned_char_2(x, y);
    x += y;
    y -= 1;
    return (int)(z + x + y);
}
