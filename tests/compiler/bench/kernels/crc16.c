/* CRC-16/CCITT of a 512-byte buffer, bit by bit. */
static unsigned char buffer[512];

static unsigned crc16(const unsigned char *p, unsigned n)
{
    unsigned crc = 0xFFFF;
    int bit;
    while (n--) {
        crc ^= (unsigned)*p++ << 8;
        for (bit = 0; bit < 8; bit++) {
            if (crc & 0x8000)
                crc = (crc << 1) ^ 0x1021;
            else
                crc <<= 1;
        }
    }
    return crc;
}

int bench(void)
{
    unsigned i;
    for (i = 0; i < 512; i++)
        buffer[i] = (unsigned char)(i * 7 + 3);
    return crc16(buffer, 512) != 0x7D1Bu;
}

int main(void) { return bench(); }
