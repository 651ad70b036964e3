/* put_hex of the support over edge values, checked as text. */
void init_io(void);
void put_hex(unsigned v);
void put_char(char c);

int main(void)
{
    unsigned v = 1;
    int i;
    init_io();
    for (i = 0; i < 16; i += 5) {
        put_hex(v << i);
        put_char(' ');
    }
    put_hex(0xFFFF);
    put_char(' ');
    put_hex(-1 - 0x7FFF);
    put_char('\n');
    return 0;
}
