/* compound assign */
int ops(int a)
{
    int b = 100;
    b += a;
    b -= 3;
    b *= 2;
    b /= 5;
    b %= 7;
    b <<= 2;
    b >>= 1;
    b &= 0x3F;
    b |= 0x40;
    b ^= 0x11;
    return b;
}

long lops(long a)
{
    a += 70000L;
    a <<= 3;
    a ^= 0x5555AAAAL;
    return a;
}

int main(void)
{
    return ops(7) + (int)(lops(1L) & 0xFF);
}
