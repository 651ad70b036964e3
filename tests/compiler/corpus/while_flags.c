/* while flags */
int collatz(unsigned long n)
{
    int steps = 0;
    while (n != 1) {
        if (n & 1)
            n = 3 * n + 1;
        else
            n >>= 1;
        steps++;
    }
    return steps;
}

int main(void)
{
    return collatz(27UL);
}
