/* heap sort */
static void sift(int *a, int start, int end)
{
    int root = start;
    while (root * 2 + 1 <= end) {
        int child = root * 2 + 1, sw = root;
        if (a[sw] < a[child])
            sw = child;
        if (child + 1 <= end && a[sw] < a[child + 1])
            sw = child + 1;
        if (sw == root)
            return;
        {
            int t = a[root];
            a[root] = a[sw];
            a[sw] = t;
        }
        root = sw;
    }
}

void heap_sort(int *a, int n)
{
    int start, end;
    for (start = (n - 2) / 2; start >= 0; start--)
        sift(a, start, n - 1);
    for (end = n - 1; end > 0; end--) {
        int t = a[end];
        a[end] = a[0];
        a[0] = t;
        sift(a, 0, end - 1);
    }
}

int main(void)
{
    int v[6];
    v[0] = 5; v[1] = 1; v[2] = 4; v[3] = 2; v[4] = 6; v[5] = 3;
    heap_sort(v, 6);
    return v[0] * 10 + v[5];
}
