/* unions */
union word {
    unsigned int w;
    unsigned char b[2];
};

struct reg {
    union word value;
    char name[4];
};

unsigned swap_bytes(unsigned v)
{
    union word u;
    unsigned char t;
    u.w = v;
    t = u.b[0];
    u.b[0] = u.b[1];
    u.b[1] = t;
    return u.w;
}

int main(void)
{
    struct reg r;
    r.value.w = 0x1234;
    r.name[0] = 'D';
    r.name[1] = 0;
    return swap_bytes(r.value.w) == 0x3412;
}
