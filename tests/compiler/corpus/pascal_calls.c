/* pascal calls */
int __pascal sub3(int a, int b, int c)
{
    return a - b - c;
}

int call_it(void)
{
    return sub3(10, 2, 3);
}

int main(void)
{
    return call_it();
}
