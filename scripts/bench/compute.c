/* A long pure computation for the simulator benchmark: a prime sieve and a
 * CRC over its flags, round after round, without ever touching a device. */
static unsigned char flags[2000];

void main(void)
{
    unsigned i, k, count = 0, crc = 0xFFFF;
    for (;;) {
        for (i = 0; i < 2000; ++i)
            flags[i] = 1;
        for (i = 2; i < 2000; ++i)
            if (flags[i]) {
                ++count;
                for (k = i + i; k < 2000; k += i)
                    flags[k] = 0;
            }
        for (i = 0; i < 2000; ++i) {
            crc ^= flags[i];
            for (k = 0; k < 8; ++k)
                crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        }
    }
}
