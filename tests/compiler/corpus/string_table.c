/* string table */
static const char *const words[] = { "alpha", "beta", "gamma", "delta" };

int longest(void)
{
    int i, best = 0, len;
    const char *p;
    for (i = 0; i < 4; i++) {
        for (len = 0, p = words[i]; *p; p++)
            len++;
        if (len > best)
            best = len;
    }
    return best;
}

int main(void)
{
    return longest();
}
