/* Two string literals that both need the byte-list form (characters that
   FCS text cannot carry) each get their own FCB line. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

char *first = "x!y";
char *second = "p#q:r=(";
char third[] = "a=b";

int main(void)
{
    const char *local = "!#";
    init_io();
    expect(first[1], '!', 1);
    expect(first[3], 0, 2);
    expect(second[0], 'p', 3);
    expect(second[6], '(', 4);
    expect(second[7], 0, 5);
    expect(third[1], '=', 6);
    expect(local[1], '#', 7);
    expect("(:)"[2], ')', 8);
    return finish();
}
