/* stack machine */
#define PUSH 1
#define ADD 2
#define MUL 3
#define HALT 0

static int stack[16];
static int sp;

int run(const unsigned char *code)
{
    int a, b;
    sp = 0;
    for (;;) {
        switch (*code++) {
        case PUSH:
            stack[sp++] = *code++;
            break;
        case ADD:
            b = stack[--sp];
            a = stack[--sp];
            stack[sp++] = a + b;
            break;
        case MUL:
            b = stack[--sp];
            a = stack[--sp];
            stack[sp++] = a * b;
            break;
        case HALT:
            return stack[sp - 1];
        default:
            return -1;
        }
    }
}

int main(void)
{
    static const unsigned char prog[] = { PUSH, 3, PUSH, 4, ADD, PUSH, 5, MUL, HALT };
    return run(prog);
}
