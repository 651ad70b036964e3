/* static locals */
int counter(void)
{
    static int n;
    return ++n;
}

int next_id(void)
{
    static int base = 100;
    base += 2;
    return base;
}

int main(void)
{
    counter();
    counter();
    return counter() + next_id();
}
