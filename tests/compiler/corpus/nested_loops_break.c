/* nested loops break */
int find_pair(int target)
{
    int i, j, found = -1;
    for (i = 0; i < 10; i++) {
        for (j = i; j < 10; j++) {
            if (i * j == target) {
                found = i * 10 + j;
                break;
            }
        }
        if (found >= 0)
            break;
    }
    return found;
}

int main(void)
{
    return find_pair(24);
}
