/* Globals of every small type updated in place and read back. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

char gc;
unsigned char guc;
int gi;
unsigned gu;
int *gp;
int arr[3];

int main(void)
{
    init_io();
    gc = 100;
    gc += 100;
    expect(gc, -56, 1);
    guc = 100;
    guc += 200;
    expect(guc, 44, 2);
    gi = 1;
    gi <<= 14;
    gi += gi;
    expect(gi, -32767 - 1, 3);
    gu = 3;
    gu -= 5;
    expect(gu == 0xFFFE, 1, 4);
    gp = arr;
    *gp++ = 5;
    *gp++ = 6;
    *gp = 7;
    expect(arr[0] + arr[1] + arr[2], 18, 5);
    expect(gp - arr, 2, 6);
    return finish();
}
