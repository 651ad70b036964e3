/* binary search */
int find(const int *v, int n, int key)
{
    int lo = 0, hi = n - 1;
    while (lo <= hi) {
        int mid = (lo + hi) >> 1;
        if (v[mid] == key)
            return mid;
        if (v[mid] < key)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return -1;
}

int main(void)
{
    static const int primes[] = { 2, 3, 5, 7, 11, 13, 17, 19, 23, 29 };
    return find(primes, 10, 17) + find(primes, 10, 4);
}
