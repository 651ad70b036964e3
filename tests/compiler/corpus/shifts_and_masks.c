/* shifts and masks */
unsigned char reverse_bits(unsigned char b)
{
    unsigned char r = 0;
    int i;
    for (i = 0; i < 8; i++) {
        r = (unsigned char)((r << 1) | (b & 1));
        b >>= 1;
    }
    return r;
}

int parity(unsigned v)
{
    v ^= v >> 8;
    v ^= v >> 4;
    v ^= v >> 2;
    v ^= v >> 1;
    return v & 1;
}

int main(void)
{
    return reverse_bits(0x01) + parity(0x7);
}
