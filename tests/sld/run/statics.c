/* Two functions with a static of the same name as main's local, and
   values of every integer kind for the number views. */
int counter(void)
{
    static int total;
    total += 2;
    return total;
}

int other(void)
{
    static int total = 100;
    total++;
    return total;
}

int main(void)
{
    int total = -5;
    char c = -3;
    long l = -7;
    unsigned u = 65531u;
    unsigned char uc = 200;
    short s = -2;
    unsigned long ul = 4294967286UL;
    counter();
    counter();
    other();
    return total + c + (int)l + (int)u + uc + s + (int)ul;
}
