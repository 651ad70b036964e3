/* unsigned compare */
int in_range(unsigned v, unsigned lo, unsigned hi)
{
    return v - lo <= hi - lo;
}

int signed_less(int a, int b) { return a < b; }
int unsigned_less(unsigned a, unsigned b) { return a < b; }

int main(void)
{
    return in_range(50u, 10u, 100u) + signed_less(-1, 1) + unsigned_less(65535u, 1u);
}
