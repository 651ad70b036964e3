/* do while */
int digits(unsigned v)
{
    int n = 0;
    do {
        n++;
        v /= 10;
    } while (v);
    return n;
}

int reverse(int v)
{
    int r = 0;
    do {
        if (v % 10 == 0) {
            v /= 10;
            continue;
        }
        r = r * 10 + v % 10;
        v /= 10;
    } while (v > 0);
    return r;
}

int main(void)
{
    return digits(65000u) + reverse(1203);
}
