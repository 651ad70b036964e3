/* Arrays inside structures copied with the structure. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
struct rec { char name[10]; int scores[4]; };
int main(void)
{
    struct rec a, b;
    int i;
    init_io();
    for (i = 0; i < 10; i++) a.name[i] = 'A' + i;
    for (i = 0; i < 4; i++) a.scores[i] = i * 100;
    b = a;
    a.name[0] = 'z';
    a.scores[3] = 0;
    expect(b.name[0], 'A', 1);
    expect(b.name[9], 'J', 2);
    expect(b.scores[3], 300, 3);
    expect(a.scores[3], 0, 4);
    return finish();
}
