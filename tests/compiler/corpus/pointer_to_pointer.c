/* pointer to pointer */
static int values[3];
static int *slots[3];

void fill(int **p, int n)
{
    int i;
    for (i = 0; i < n; i++)
        *p[i] = i * i;
}

int main(void)
{
    int i;
    int **pp = slots;
    for (i = 0; i < 3; i++)
        slots[i] = &values[2 - i];
    fill(pp, 3);
    return **pp + values[0];
}
