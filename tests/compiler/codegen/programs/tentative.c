/* A tentative definition followed by a definition, in either order, is one
   object with the definition's value. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int x;
int x = 3;
int y = 4;
int y;
static int z;
static int z = 5;
int w;
int w;
long l;
long l = 70000L;
int arr[];
int arr[3] = { 1, 2, 3 };

int main(void)
{
    init_io();
    expect(x, 3, 1);
    expect(y, 4, 2);
    expect(z, 5, 3);
    expect(w, 0, 4);
    expect(l == 70000L, 1, 5);
    expect(arr[2], 3, 6);
    return finish();
}
