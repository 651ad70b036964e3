/* convert 04 char to unsigned long */
static char src[4];
static unsigned long dst[4];

unsigned long convert_one(char v)
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
    char local = 5;
    src[0] = local;
    src[1] = (char)(local * 2);
    convert_all();
    return dst[1] > dst[0];
}
