/* Floating point: a polynomial, a sum of squares and Newton's square root. */
static float root(float x)
{
    float r = x / 2.0f;
    int i;
    for (i = 0; i < 8; i++)
        r = (r + x / r) * 0.5f;
    return r;
}

int bench(void)
{
    float sum = 0.0f, poly = 0.0f, x;
    int i;
    for (i = 1; i <= 50; i++) {
        x = (float)i * 0.1f;
        sum += x * x;
        poly += ((2.0f * x - 3.0f) * x + 1.5f) * x;
    }
    x = root(sum);
    return !(x > 20.71f && x < 20.72f) || !(poly > 2154.7f && poly < 2154.8f);
}

int main(void) { return bench(); }
