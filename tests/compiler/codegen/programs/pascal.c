/* __pascal functions: arguments pushed first to last, the order that the
   callee relies on; mixed with ordinary calls and char arguments. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int __pascal sub3(int a, int b, int c) { return a - b - c; }
int __pascal mix(char a, int b, char c) { return a * 100 + b * 10 + c; }
int plain(int a, int b) { return a - b; }

int main(void)
{
    int x = 5;
    init_io();
    expect(sub3(100, 20, 3), 77, 1);
    expect(mix(1, 2, 3), 123, 2);
    expect(sub3(plain(10, 4), x, 1), 0, 3);
    expect(plain(sub3(1, 2, 3), mix(0, 1, 0)), -14, 4);
    return finish();
}
