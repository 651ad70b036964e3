/* comma and sequence */
int sum_to(int n)
{
    int i, s;
    for (i = 0, s = 0; i <= n; s += i, i++)
        ;
    return s;
}

int main(void)
{
    int a, b;
    a = (b = 3, b + 4);
    return sum_to(10) + a;
}
