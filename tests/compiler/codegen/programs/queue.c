/* A ring buffer of chars with head and tail indexes wrapping round. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
char ring[8];
unsigned char head, tail;
int put(char c) { if (((head + 1) & 7) == tail) return 0; ring[head] = c; head = (head + 1) & 7; return 1; }
int get(void) { char c; if (head == tail) return -1; c = ring[tail]; tail = (tail + 1) & 7; return c; }
int main(void)
{
    int i, n = 0, s = 0;
    init_io();
    for (i = 0; i < 10; i++)
        n += put('a' + i);
    expect(n, 7, 1);
    expect(get(), 'a', 2);
    expect(put('z'), 1, 3);
    while ((i = get()) >= 0)
        s += i - 'a';
    expect(s, 1 + 2 + 3 + 4 + 5 + 6 + 25, 4);
    expect(get(), -1, 5);
    return finish();
}
