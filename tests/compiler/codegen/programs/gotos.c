/* goto forward and backward, labels inside loops. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    int i = 0, s = 0;
    init_io();
again:
    s += i;
    if (++i < 5)
        goto again;
    expect(s, 10, 1);
    for (i = 0; i < 100; i++) {
        if (i == 42)
            goto out;
    }
    expect(0, 1, 2);
out:
    expect(i, 42, 3);
    goto skip;
    expect(0, 1, 4);
skip:
    return finish();
}
