/* Compares at the edges of every integer type, against constants and
   against variables, with mixed signedness deciding between signed and
   unsigned compares (unsigned int meets long as a signed long). */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int imax = 32767, imin = -32767 - 1;
unsigned umax = 65535U, uzero = 0;
long lmax = 2147483647L, lmin = -2147483647L - 1;
unsigned long ulmax = 4294967295UL, ulhigh = 0x80000000UL;
char cmin = -128, cmax = 127;
unsigned char ucmax = 255;

int main(void)
{
    int r;
    init_io();
    expect(imax > imin, 1, 1);
    expect(imax + 1 == imin, 1, 2);        /* wraps in 16 bits */
    expect(imin < 0, 1, 3);
    expect(imin <= -32768, 1, 4);
    expect(imin - 1 > 0, 1, 5);
    expect(umax > imax, 1, 6);
    expect(umax == -1, 1, 7);              /* -1 as unsigned */
    expect(imin < umax, 1, 8);
    expect(imin > uzero, 1, 9);            /* 32768u > 0 */
    expect(uzero - 1 == umax, 1, 10);
    expect(uzero < 1, 1, 11);
    expect(umax >= 65535U, 1, 12);

    expect(lmax > lmin, 1, 20);
    expect(lmax + 1 == lmin, 1, 21);
    expect(lmin < 0, 1, 22);
    expect(lmax > imax, 1, 23);
    expect(lmin < imin, 1, 24);
    expect(umax < lmax, 1, 25);
    expect(umax > -1L, 1, 26);             /* long compare: 65535 > -1 */
    expect(imin > -1L, 0, 27);
    expect((long)imin == -32768L, 1, 28);
    expect(lmax == 0x7FFFFFFFL, 1, 29);
    expect(lmin == 0x80000000L, 1, 30);    /* the constant is unsigned long */
    expect(lmin < 0x80000000UL, 0, 31);
    expect(lmin == ulhigh, 1, 32);
    expect(ulmax > lmax, 1, 33);
    expect(ulmax == -1L, 1, 34);
    expect(ulmax > -1L, 0, 35);
    expect(ulhigh > lmax, 1, 36);
    expect(ulhigh - 1 == lmax, 1, 37);
    expect(ulmax + 1 == 0, 1, 38);
    expect(ulmax > umax, 1, 39);
    expect(ulhigh >= 2147483648UL, 1, 40);
    expect(lmin <= lmin, 1, 41);
    expect(lmax >= lmax, 1, 42);
    expect(lmax != lmax - 1, 1, 43);

    expect(cmin < cmax, 1, 50);
    expect(cmin == -128, 1, 51);
    expect(cmin < ucmax, 1, 52);
    expect(ucmax > cmax, 1, 53);
    expect(ucmax == 255, 1, 54);
    expect(ucmax == (unsigned char)cmax + 128, 1, 55);
    expect(cmin < umax, 1, 56);            /* -128 as unsigned is 65408 */
    expect(cmin > uzero, 1, 57);
    expect(cmin < lmax, 1, 58);
    expect(cmin > lmin, 1, 59);
    expect(cmin < ulhigh, 0, 60);          /* 0xFFFFFF80 */

    r = 0;
    if (lmin < 0 && lmax > 0 && ulhigh > 0 && ulmax != 0) r = 1;
    expect(r, 1, 70);
    r = 0;
    if (imin < imax && umax > uzero && !(umax < uzero)) r = 2;
    expect(r, 2, 71);
    r = lmin > lmax ? 1 : ulhigh > (unsigned long)lmax ? 2 : 3;
    expect(r, 2, 72);
    return finish();
}
