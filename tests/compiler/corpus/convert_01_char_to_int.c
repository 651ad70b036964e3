/* convert 01 char to int */
static char src[4];
static int dst[4];

int convert_one(char v)
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
    char local = 5;
    src[0] = local;
    src[1] = (char)(local * 2);
    convert_all();
    return dst[1] > dst[0];
}
