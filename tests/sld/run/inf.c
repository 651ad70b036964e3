int g;

int main(void)
{
    while (1) {
        g++;
        if (g > 2)
            break;
    }
    for (;;) {
        g--;
        if (g == 0) break;
    }
    return g;
}
