/* sizeof use */
struct header {
    char tag;
    int length;
    long checksum;
};

int sizes(void)
{
    struct header h;
    char name[12];
    return sizeof(struct header) + sizeof h.length + sizeof name + sizeof(long *);
}

int main(void)
{
    return sizes();
}
