int x, y, i, f(void);
unsigned u;
char c;
const int N = 5;
int g0 = 3;
static int s0 = 4;

void rules(void)
{
    x = x * 8;
    x = x * 3;
    x = u / 4;
    x = i / 4;
    x = u % 8;
    x = i % 8;
    x = x * 0;
    x = f() * 0;
    x = x * 1;
    x = x / 1;
    x = x - -y;
    x = -x + y;
    x = 3 * (x + 1);
    x = 2 * (x + 1);
    x = (x + 3) + 4;
    x = -(-x);
    x = ~(~x);
    x = !!x;
    x = !!3;
    c = c & 255;
    x = x & 255;
    x |= 0;
    x &= 0xFFFF;
    y = N;
    y = N + 1;
    y = g0 + s0;
    y = s0;
    x = x << 0;
    x = x | 0;
    x = 0 + x;
    x = x - 0;
    x = 0 - x;
    x = 1 ? x : y;
    x = 0 ? x : y;
    x = 1 / 0;
}
