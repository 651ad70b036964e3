/* convert 05 char to short */
static char src[4];
static short dst[4];

short convert_one(char v)
{
    return (short)v;
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
