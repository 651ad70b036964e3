/* Deep recursion with locals: the stack grows and shrinks correctly. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int depth(int n)
{
    int pad[4];
    pad[0] = n;
    pad[3] = n * 2;
    if (n == 0) return 0;
    return depth(n - 1) + pad[3] - pad[0];
}

int hanoi(int n, int from, int to, int via)
{
    if (n == 0) return 0;
    return hanoi(n - 1, from, via, to) + 1 + hanoi(n - 1, via, to, from);
}

int main(void)
{
    init_io();
    expect(depth(200), 20100, 1);
    expect(hanoi(10, 1, 3, 2), 1023, 2);
    return finish();
}
