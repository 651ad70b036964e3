/* Bubble sort of 100 ints from a fixed pseudo-random sequence. */
static int data[100];

static void fill(void)
{
    unsigned seed = 12345;
    int i;
    for (i = 0; i < 100; i++) {
        seed = seed * 25173u + 13849u;
        data[i] = (int)(seed >> 1) - 8000;
    }
}

static void sort(int *a, int n)
{
    int i, j, t, swapped;
    for (i = n - 1; i > 0; i--) {
        swapped = 0;
        for (j = 0; j < i; j++) {
            if (a[j] > a[j + 1]) {
                t = a[j];
                a[j] = a[j + 1];
                a[j + 1] = t;
                swapped = 1;
            }
        }
        if (!swapped)
            break;
    }
}

int bench(void)
{
    int i;
    fill();
    sort(data, 100);
    for (i = 0; i < 99; i++)
        if (data[i] > data[i + 1])
            return 1;
    return 0;
}

int main(void) { return bench(); }
