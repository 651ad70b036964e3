/* return from inside loops and switches; falling off a void function. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int g;
int find(int *a, int n, int v)
{
    int i;
    for (i = 0; i < n; i++) {
        switch (a[i] - v) {
        case 0: return i;
        default: break;
        }
    }
    return -1;
}
void set(int v) { if (v < 0) return; g = v; }
char letter(int i) { return 'a' + i; }
int main(void)
{
    int a[4];
    init_io();
    a[0] = 4; a[1] = 8; a[2] = 15; a[3] = 16;
    expect(find(a, 4, 15), 2, 1);
    expect(find(a, 4, 23), -1, 2);
    set(5);
    set(-1);
    expect(g, 5, 3);
    expect(letter(3), 'd', 4);
    return finish();
}
