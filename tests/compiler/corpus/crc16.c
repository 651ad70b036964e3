/* crc16 */
unsigned crc16(const unsigned char *p, int n)
{
    unsigned crc = 0xFFFF;
    int i;
    while (n-- > 0) {
        crc ^= *p++;
        for (i = 0; i < 8; i++)
            if (crc & 1)
                crc = (crc >> 1) ^ 0xA001;
            else
                crc >>= 1;
    }
    return crc;
}

int main(void)
{
    static const unsigned char msg[] = { 1, 3, 0, 0, 0, 10 };
    return crc16(msg, sizeof msg) != 0;
}
