/* Conditions with side effects: && and || stop as soon as the result is
   known, in loops and in values. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int calls;
int yes(void) { calls++; return 1; }
int no(void) { calls++; return 0; }

int main(void)
{
    int i = 0, n = 0;
    init_io();
    if (no() && yes()) n = 1;
    expect(calls, 1, 1);
    if (yes() || no()) n = 2;
    expect(calls, 2, 2);
    expect(n, 2, 3);
    calls = 0;
    while (i < 10 && (yes() || no()))
        i++;
    expect(calls, 10, 4);
    calls = 0;
    n = !(no() || no()) && !no();
    expect(n, 1, 5);
    expect(calls, 3, 6);
    return finish();
}
