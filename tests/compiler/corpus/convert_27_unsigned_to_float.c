/* convert 27 unsigned to float */
static unsigned src[4];
static float dst[4];

float convert_one(unsigned v)
{
    return (float)v;
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
