/* An __interrupt function with locals and calls leaves every register
   of the interrupted code as it was. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);
int hits;
int twice(int v) { return v * 2; }
void __interrupt handler(void)
{
    int a[3];
    a[0] = twice(hits);
    a[2] = a[0] + 1;
    hits = a[2];
}
int check(void)
{
    __asm(" ORCC #$80");
    __asm(" LEAX back2,PCR");
    __asm(" PSHS X");
    __asm(" LDX #$1357");
    __asm(" LDY #$2468");
    __asm(" LDU #$9BDF");
    __asm(" LDD #$ACE0");
    __asm(" PSHS U,Y,X,DP,B,A,CC");
    __asm(" JMP _handler");
    __asm("back2:");
    __asm(" CMPD #$ACE0");
    __asm(" BNE bad");
    __asm(" CMPX #$1357");
    __asm(" BNE bad");
    __asm(" CMPY #$2468");
    __asm(" BNE bad");
    __asm(" CMPU #$9BDF");
    __asm(" BNE bad");
    __asm(" LDD #1");
    __asm(" RTS");
    __asm("bad:");
    return 0;
}
int main(void)
{
    init_io();
    hits = 3;
    expect(check(), 1, 1);
    expect(hits, 7, 2);
    return finish();
}
