/* arith float */
float op_float_0(float a, float b) { return a + b; }

float op_float_1(float a, float b) { return a - b; }

float op_float_2(float a, float b) { return a * b; }

float op_float_3(float a, float b) { return a / b; }

float op_float_4(float a, float b) { return a < b; }

float op_float_5(float a, float b) { return a == b; }

float op_float_6(float a, float b) { return a && b; }

float op_float_7(float a, float b) { return a || b; }

int main(void)
{
    float x = 7, y = 3;
    float z;
    z = op_float_0(x, y) + op_float_2(x, y);
    x += y;
    y -= 1;
    return (int)(z + x + y);
}
