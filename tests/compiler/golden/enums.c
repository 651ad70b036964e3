enum color { RED, GREEN = 5, BLUE };
int r = RED, g = GREEN, b = BLUE;
enum { NEG = -3, NEXT };
int k = NEXT;
enum color cvar = BLUE;
