/* An __interrupt function returns with RTI: it is entered here through a
   frame as the CPU stacks it for IRQ (entire state, E set) and must come
   back with every register restored and its effect done. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int ticks;
int seen;

void __interrupt tick(void)
{
    int local;
    local = ticks;
    ticks = local + 1;
}

int probe(void)
{
    int before = 1234;
    __asm(" ORCC #$80");
    __asm(" LEAX irq_back,PCR");
    __asm(" PSHS X");
    __asm(" LDD #$5AA5");
    __asm(" PSHS U,Y,X,DP,B,A,CC");
    __asm(" JMP _tick");
    __asm("irq_back:");
    __asm(" STD _seen");
    return before;
}

int main(void)
{
    init_io();
    expect(probe(), 1234, 1);
    expect(ticks, 1, 2);
    expect(seen, 0x5AA5, 3);
    expect(probe() + ticks, 1236, 4);
    return finish();
}
