/* lookup tables */
static const unsigned char seg7[10] = {
    0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F
};

unsigned char encode(int digit)
{
    if (digit < 0 || digit > 9)
        return 0;
    return seg7[digit];
}

int main(void)
{
    int i;
    unsigned sum = 0;
    for (i = 0; i < 10; i++)
        sum += encode(i);
    return sum & 0xFF;
}
