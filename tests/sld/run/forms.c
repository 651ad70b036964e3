/* Loop and branch forms whose lines have no code of their own: do {, a
   break folded into its if, while (1) {, empty branches, labels. A stop
   shows the line that runs, and a breakpoint stops only where its line runs. */
int v, hits;

int down(int n)
{
    v = n;
    do {
        hits++;
        v--;
    } while (v != 0);
    return hits;
}

int first_over(int lim)
{
    int i;
    for (i = 0; i < 4; i++) {
        if (i >= lim)
            break;
        hits += i;
    }
    return i;
}

int skip(int n)
{
    int s = 0;
    while (n > 0) {
        n--;
        if (n == 1)
            continue;
        s++;
    }
    return s;
}

int branches(int x)
{
    if (x > 0) {
    } else {
        x = -x;
    }
    if (x > 5)
        ;
    else
        x++;
    return x;
}

int jumps(int x)
{
again:
    x++;
    if (x < 2)
        goto again;
    switch (x) {
    case 2:
        x = 20;
        break;
    default:
        break;
    }
    return x;
}

int nested(void)
{
    int i, j, s = 0;
    for (i = 0; i < 2; i++)
        for (j = 0; j < 3; j++) {
            if (j == 1)
                break;
            s++;
        }
    return s;
}

int main(void)
{
    down(2);
    first_over(2);
    first_over(9);
    skip(3);
    branches(-1);
    branches(7);
    jumps(0);
    nested();
    return 0;
}
