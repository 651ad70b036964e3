/* switch inside loops: break leaves the switch, continue the loop. */
void init_io(void);
void expect(int got, int want, int id);
int finish(void);

int main(void)
{
    int i, odd = 0, even = 0, other = 0, s = 0;
    init_io();
    for (i = 0; i < 12; i++) {
        switch (i % 4) {
        case 0:
            even++;
            continue;
        case 1:
        case 3:
            odd++;
            break;
        default:
            other++;
        }
        s += i;
    }
    expect(even, 3, 1);
    expect(odd, 6, 2);
    expect(other, 3, 3);
    expect(s, 54, 4);
    i = 0;
    do {
        switch (i) {
        case 5: i = 100; break;
        default: i++;
        }
    } while (i < 50);
    expect(i, 100, 5);
    return finish();
}
