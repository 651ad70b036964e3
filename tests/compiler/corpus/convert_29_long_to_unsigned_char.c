/* convert 29 long to unsigned char */
static long src[4];
static unsigned char dst[4];

unsigned char convert_one(long v)
{
    return (unsigned char)v;
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
