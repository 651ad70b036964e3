/* conditional chain */
int classify(int v)
{
    return v < 0 ? -1 : v == 0 ? 0 : v < 10 ? 1 : v < 100 ? 2 : 3;
}

int clamp(int v, int lo, int hi)
{
    if (v < lo)
        return lo;
    else if (v > hi)
        return hi;
    else
        return v;
}

int main(void)
{
    return classify(-5) + classify(55) + clamp(300, 0, 255);
}
