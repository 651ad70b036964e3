/* arith char */
char op_char_0(char a, char b) { return a + b; }

char op_char_1(char a, char b) { return a - b; }

char op_char_2(char a, char b) { return a * b; }

char op_char_3(char a, char b) { return a / b; }

char op_char_4(char a, char b) { return a < b; }

char op_char_5(char a, char b) { return a == b; }

char op_char_6(char a, char b) { return a && b; }

char op_char_7(char a, char b) { return a || b; }

char iop_char_0(char a, char b) { return a % b; }

char iop_char_1(char a, char b) { return a & b; }

char iop_char_2(char a, char b) { return a | b; }

char iop_char_3(char a, char b) { return a ^ b; }

char iop_char_4(char a, char b) { return a << b; }

char iop_char_5(char a, char b) { return a >> b; }

int main(void)
{
    char x = 7, y = 3;
    char z;
    z = op_char_0(x, y) + op_char_2(x, y);
    x += y;
    y -= 1;
    return (int)(z + x + y);
}
