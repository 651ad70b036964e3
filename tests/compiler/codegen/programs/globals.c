/* Static and global storage, static locals that keep their value,
   initialised data read back, string literals and arrays of strings. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

static int hidden;
int counter(void) { static int n; return ++n; }
char greeting[] = "Hello";
char *names[] = { "one", "two", "three" };
const int table[4] = { 1, 10, 100, 1000 };

int length(char *s) { int n = 0; while (s[n]) n++; return n; }

int main(void)
{
    int i, s;
    init_io();
    counter();
    counter();
    expect(counter(), 3, 1);
    hidden = 7;
    expect(hidden * 2, 14, 2);
    expect(greeting[1], 'e', 3);
    expect(length(greeting), 5, 4);
    expect(length(names[2]), 5, 5);
    expect(names[1][1], 'w', 6);
    s = 0;
    for (i = 0; i < 4; i++)
        s += table[i];
    expect(s, 1111, 7);
    expect(length("tab\there\n"), 9, 8);
    expect("xyz"[2], 'z', 9);
    return finish();
}
