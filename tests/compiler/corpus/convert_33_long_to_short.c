/* convert 33 long to short */
static long src[4];
static short dst[4];

short convert_one(long v)
{
    return (short)v;
}

void convert_all(void)
{
    int i;
    for (i = 0; i < 4; i++)
        dst[i] = convert_one(src[i]);
}

int main(void)
{
    long local = 5;
    src[0] = local;
    src[1] = (long)(local * 2);
    convert_all();
    return dst[1] > dst[0];
}
