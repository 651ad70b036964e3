/* Locals of inner blocks under the debugger: one that shadows the
   function's own x, and two sibling blocks with an x of their own each. */
int seen;

int main(void)
{
    int x = 5;
    seen = x;
    {
        int x = 100;
        seen = seen + x;
    }
    seen = seen + x;
    {
        int x = 7;
        seen = seen + x;
    }
    {
        int x = 9;
        seen = seen + x;
    }
    return seen - x;
}
