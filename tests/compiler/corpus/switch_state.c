/* switch state */
enum state { IDLE, START, DATA, STOP };

static enum state st;
static unsigned char shift;
static int bits;

int feed(int bit)
{
    switch (st) {
    case IDLE:
        if (!bit)
            st = START;
        break;
    case START:
        bits = 0;
        shift = 0;
        st = DATA;
        /* fall through */
    case DATA:
        shift = (unsigned char)((shift >> 1) | (bit ? 0x80 : 0));
        if (++bits == 8)
            st = STOP;
        break;
    case STOP:
        st = IDLE;
        return shift;
    default:
        st = IDLE;
    }
    return -1;
}

int main(void)
{
    int i, r = -1;
    static const char line[] = "0010110101";
    for (i = 0; line[i]; i++)
        r = feed(line[i] - '0');
    return r;
}
