/* hex dump */
static const char hexdigits[] = "0123456789ABCDEF";

void to_hex(unsigned v, char *out)
{
    int i;
    for (i = 3; i >= 0; i--) {
        out[i] = hexdigits[v & 15];
        v >>= 4;
    }
    out[4] = '\0';
}

int main(void)
{
    char buf[5];
    to_hex(0xBEEF, buf);
    return buf[0] == 'B';
}
