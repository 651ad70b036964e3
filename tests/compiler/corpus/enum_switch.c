/* enum switch */
enum color { RED = 1, GREEN = 2, BLUE = 4, WHITE = RED | GREEN | BLUE };

const char *name(enum color c)
{
    switch (c) {
    case RED: return "red";
    case GREEN: return "green";
    case BLUE: return "blue";
    case WHITE: return "white";
    }
    return "?";
}

int main(void)
{
    return name(WHITE)[0];
}
