/* bit ops */
int popcount(unsigned v)
{
    int n = 0;
    while (v) {
        v &= v - 1;
        n++;
    }
    return n;
}

unsigned rotl(unsigned v, int s)
{
    return (v << s) | (v >> (16 - s));
}

unsigned long mask_long(unsigned long v)
{
    return (v & 0xFF00FF00UL) >> 8 | (v & 0x00FF00FFUL) << 8;
}

int main(void)
{
    return popcount(0xF0F0) + (int)(rotl(0x8001, 1) & 3) + (mask_long(0x12345678UL) == 0x34127856UL);
}
