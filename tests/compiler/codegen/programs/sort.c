/* Bubble sort and binary search over an int array, a string compare. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int data[12];

void sort(int *a, int n)
{
    int i, j, t;
    for (i = 0; i < n - 1; i++)
        for (j = 0; j < n - 1 - i; j++)
            if (a[j] > a[j + 1]) {
                t = a[j];
                a[j] = a[j + 1];
                a[j + 1] = t;
            }
}

int find(int *a, int n, int key)
{
    int lo = 0, hi = n - 1, mid;
    while (lo <= hi) {
        mid = (lo + hi) / 2;
        if (a[mid] == key) return mid;
        if (a[mid] < key) lo = mid + 1;
        else hi = mid - 1;
    }
    return -1;
}

int compare(char *a, char *b)
{
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return *a - *b;
}

int main(void)
{
    int i, ok = 1;
    init_io();
    for (i = 0; i < 12; i++)
        data[i] = (i * 7919) % 101 - 50;
    sort(data, 12);
    for (i = 0; i < 11; i++)
        if (data[i] > data[i + 1]) ok = 0;
    expect(ok, 1, 1);
    expect(find(data, 12, data[5]), 5, 2);
    expect(find(data, 12, 1000), -1, 3);
    expect(compare("abc", "abd") < 0, 1, 4);
    expect(compare("abc", "abc"), 0, 5);
    expect(compare("b", "a") > 0, 1, 6);
    return finish();
}
