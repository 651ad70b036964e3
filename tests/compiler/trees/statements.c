int g;

int kr(a, b) int a; char *b; { return a + *b; }

int __pascal pas(int a, long b) { return a + (int)b; }

struct big { long x, y; };
struct big ret(int a) { struct big r; r.x = a; return r; }

int statements(int n)
{
    int i = n * 2, j;
    static int calls = 5;
    char s[] = "ab";
    int t[3] = {1, 2};
    struct big b = {1L};
    for (i = 0; i < n; i++) { if (i == 3) continue; g += i; }
    for (;;) { if (g) break; continue; }
    do { n--; continue; } while (n > 0);
    while (n) n--;
    switch (n) {
    case -1: g = 1;
    case 2: break;
    default: g = 0;
    }
    if (n) g = 1; else if (j = n) g = 2; else ;
again:
    if (g < 10) goto again;
    __asm("\tlda %a", 7, g, i);
    calls++;
    return s[0] + t[1] + (int)b.x + calls + __func__[0];
}
