/* A table of operations chosen by index at run time. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int add(int a, int b) { return a + b; }
int sub(int a, int b) { return a - b; }
int mul(int a, int b) { return a * b; }
int quo(int a, int b) { return a / b; }
int (*table[4])(int, int);

int run(int op, int a, int b) { return table[op](a, b); }

int main(void)
{
    int i, s = 0;
    init_io();
    table[0] = add;
    table[1] = sub;
    table[2] = mul;
    table[3] = quo;
    for (i = 0; i < 4; i++)
        s += run(i, 12, 4);
    expect(s, 16 + 8 + 48 + 3, 1);
    return finish();
}
