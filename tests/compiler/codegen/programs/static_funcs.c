/* static functions and static objects beside global ones of other names. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

static int helper(int v) { return v * 3; }
static int state;
static char table[3] = { 9, 8, 7 };
int use(int v) { state += helper(v); return state; }

int main(void)
{
    init_io();
    state = 0;
    use(1);
    expect(use(2), 9, 1);
    expect(table[1], 8, 2);
    expect(helper(table[2]), 21, 3);
    return finish();
}
