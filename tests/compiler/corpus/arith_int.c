/* arith int */
int op_int_0(int a, int b) { return a + b; }

int op_int_1(int a, int b) { return a - b; }

int op_int_2(int a, int b) { return a * b; }

int op_int_3(int a, int b) { return a / b; }

int op_int_4(int a, int b) { return a < b; }

int op_int_5(int a, int b) { return a == b; }

int op_int_6(int a, int b) { return a && b; }

int op_int_7(int a, int b) { return a || b; }

int iop_int_0(int a, int b) { return a % b; }

int iop_int_1(int a, int b) { return a & b; }

int iop_int_2(int a, int b) { return a | b; }

int iop_int_3(int a, int b) { return a ^ b; }

int iop_int_4(int a, int b) { return a << b; }

int iop_int_5(int a, int b) { return a >> b; }

int main(void)
{
    int x = 7, y = 3;
    int z;
    z = op_int_0(x, y) + op_int_2(x, y);
    x += y;
    y -= 1;
    return (int)(z + x + y);
}
