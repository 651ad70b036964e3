/* typedefs */
typedef unsigned char byte;
typedef unsigned int word;
typedef struct {
    byte lo, hi;
} pair;
typedef pair *pair_ptr;

word join(pair_ptr p)
{
    return (word)p->hi << 8 | p->lo;
}

void split(word w, pair_ptr p)
{
    p->lo = (byte)w;
    p->hi = (byte)(w >> 8);
}

int main(void)
{
    pair p;
    split(0xABCD, &p);
    return join(&p) == 0xABCD;
}
