/* logical ops */
int check(int a, int b, int c)
{
    if ((a && b) || (!c && a != b))
        return 1;
    return !(a || b || c);
}

int main(void)
{
    return check(1, 0, 0) + check(0, 0, 0) + check(1, 1, 1);
}
