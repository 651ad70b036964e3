/* convert 10 unsigned char to long */
static unsigned char src[4];
static long dst[4];

long convert_one(unsigned char v)
{
    return (long)v;
}

void convert_all(void)
{
    int i;
    for (i = 0; i < 4; i++)
        dst[i] = convert_one(src[i]);
}

int main(void)
{
    unsigned char local = 5;
    src[0] = local;
    src[1] = (unsigned char)(local * 2);
    convert_all();
    return dst[1] > dst[0];
}
