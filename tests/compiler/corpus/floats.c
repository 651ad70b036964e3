/* floats */
float poly(float x)
{
    return 3.0f * x * x - 2.0f * x + 1.0f;
}

double average(double *v, int n)
{
    double s = 0.0;
    int i;
    for (i = 0; i < n; i++)
        s += v[i];
    return n ? s / n : 0.0;
}

int main(void)
{
    double v[4];
    v[0] = 1.5;
    v[1] = 2.5;
    v[2] = poly(2.0f);
    v[3] = -1.0;
    return (int)average(v, 4);
}
