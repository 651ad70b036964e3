/* convert 35 unsigned long to char */
static unsigned long src[4];
static char dst[4];

char convert_one(unsigned long v)
{
    return (char)v;
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
