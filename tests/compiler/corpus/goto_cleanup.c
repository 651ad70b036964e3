/* goto cleanup */
static int resource;

int work(int fail_at)
{
    int step = 0;
    resource = 1;
    if (fail_at == ++step)
        goto undo;
    resource = 2;
    if (fail_at == ++step)
        goto undo;
    resource = 3;
    return 0;
undo:
    resource = 0;
    return -step;
}

int main(void)
{
    return work(2) + work(0);
}
