/* fixed point */
typedef long fix16;

#define FIX_ONE 65536L

fix16 fix_mul(fix16 a, fix16 b)
{
    return (a >> 8) * (b >> 8);
}

fix16 fix_from_int(int v)
{
    return (fix16)v * FIX_ONE;
}

int fix_to_int(fix16 v)
{
    return (int)(v >> 16);
}

int main(void)
{
    fix16 half = FIX_ONE / 2;
    return fix_to_int(fix_mul(fix_from_int(10), half));
}
