/* array init */
static const int days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
static char greeting[] = "hello";
static const char *names[] = { "jan", "feb", "mar" };

int day_of_year(int month, int day)
{
    int i, n = day;
    for (i = 0; i < month - 1; i++)
        n += days[i];
    return n;
}

int main(void)
{
    int local[4] = { 1, 2, 3, 4 };
    char word[] = "abc";
    return day_of_year(3, 1) + local[2] + word[1] + greeting[0] + names[1][0];
}
