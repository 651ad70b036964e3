/* convert 17 int to long */
static int src[4];
static long dst[4];

long convert_one(int v)
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
    int local = 5;
    src[0] = local;
    src[1] = (int)(local * 2);
    convert_all();
    return dst[1] > dst[0];
}
