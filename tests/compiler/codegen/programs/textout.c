/* Text written to the console directly, checked against the expected
   output file. */
void init_io(void);
void put_char(char c);
void put_str(char *s);

void put_dec(int v)
{
    char buf[7];
    int i = 0;
    unsigned u;
    if (v < 0) {
        put_char('-');
        u = -v;
    } else {
        u = v;
    }
    do {
        buf[i++] = '0' + u % 10;
        u /= 10;
    } while (u);
    while (i > 0)
        put_char(buf[--i]);
}

int main(void)
{
    int i;
    init_io();
    put_str("Hello, KY09\n");
    for (i = -2; i <= 2; i++) {
        put_dec(i * 1000);
        put_char(' ');
    }
    put_char('\n');
    put_dec(-32767 - 1);
    put_char('\n');
    return 0;
}
