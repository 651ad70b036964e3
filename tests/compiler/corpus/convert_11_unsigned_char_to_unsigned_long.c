/* convert 11 unsigned char to unsigned long */
static unsigned char src[4];
static unsigned long dst[4];

unsigned long convert_one(unsigned char v)
{
    return (unsigned long)v;
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
