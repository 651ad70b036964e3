int x, u;

void first(void)
{
    x = nosuch;
}

void later(void)
{
    x = x * 8;
    x = 2 + 3;
    x = x + 0;
}
