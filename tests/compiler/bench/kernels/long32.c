/* 32-bit arithmetic: a linear congruential generator, sums, shifts, division. */
int bench(void)
{
    unsigned long seed = 1;
    long sum = 0;
    unsigned long mix = 0;
    int i;
    for (i = 0; i < 200; i++) {
        seed = seed * 1103515245UL + 12345UL;
        sum += (long)(seed >> 16) - 16384L;
        mix ^= seed << 3;
        mix += seed / 1000UL;
    }
    return sum != 3380469L || mix != 0x0689AEB3UL;
}

int main(void) { return bench(); }
