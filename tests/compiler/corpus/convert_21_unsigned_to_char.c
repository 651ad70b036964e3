/* convert 21 unsigned to char */
static unsigned src[4];
static char dst[4];

char convert_one(unsigned v)
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
    unsigned local = 5;
    src[0] = local;
    src[1] = (unsigned)(local * 2);
    convert_all();
    return dst[1] > dst[0];
}
