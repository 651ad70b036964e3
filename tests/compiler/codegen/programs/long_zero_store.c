/* A long stored as 0 and read back at once: the zero goes out through D
   alone, so Y does not hold the high word and the value must be loaded. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

long lg;
unsigned long ug;

long high_in_y(long v)
{
    return v;
}

int main(void)
{
    long x;
    init_io();
    (void)high_in_y(0x12345678L);
    x = 0;
    if (x != 0)
        expect(1, 0, 1);
    (void)high_in_y(0x7FFF0000L);
    lg = 0;
    if (lg)
        expect(1, 0, 2);
    (void)high_in_y(-1L);
    ug = 0;
    if (!(ug < 1))
        expect(1, 0, 3);
    return finish();
}
