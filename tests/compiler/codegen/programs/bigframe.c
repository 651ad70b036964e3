/* A frame of more than 256 bytes: locals and parameters are reached with
   16-bit offsets from S. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int far_param(int a, int b)
{
    char pad[300];
    int i;
    for (i = 0; i < 300; i++)
        pad[i] = i;
    return a - b + pad[299] + pad[0];
}

int main(void)
{
    int big[150];
    int i, s = 0;
    init_io();
    for (i = 0; i < 150; i++)
        big[i] = i;
    for (i = 0; i < 150; i++)
        s += big[i];
    expect(s, 11175, 1);
    expect(big[149], 149, 2);
    expect(far_param(50, 8), 42 + 43, 3);
    return finish();
}
