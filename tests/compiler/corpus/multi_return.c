/* multi return */
int sign(long v)
{
    if (v > 0L)
        return 1;
    if (v < 0L)
        return -1;
    return 0;
}

void nothing(void)
{
    return;
}

int main(void)
{
    nothing();
    return sign(-70000L) + sign(0L);
}
