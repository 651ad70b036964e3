/* bubble sort */
static void swap(int *a, int *b)
{
    int t = *a;
    *a = *b;
    *b = t;
}

void bubble(int *v, int n)
{
    int i, j;
    for (i = 0; i < n - 1; i++)
        for (j = 0; j < n - 1 - i; j++)
            if (v[j] > v[j + 1])
                swap(&v[j], &v[j + 1]);
}

int main(void)
{
    int data[8];
    int k;
    for (k = 0; k < 8; k++)
        data[k] = (k * 37) % 11;
    bubble(data, 8);
    return data[0];
}
