/* convert 37 unsigned long to int */
static unsigned long src[4];
static int dst[4];

int convert_one(unsigned long v)
{
    return (int)v;
}

void convert_all(void)
{
    int i;
    for (i = 0; i < 4; i++)
        dst[i] = convert_one(src[i]);
}

int main(void)
{
    unsigned long local = 5;
    src[0] = local;
    src[1] = (unsigned long)(local * 2);
    convert_all();
    return dst[1] > dst[0];
}
