/* address of params */
void inc(int *p) { (*p)++; }

int use_param(int v)
{
    inc(&v);
    inc(&v);
    return v;
}

int main(void)
{
    return use_param(40);
}
