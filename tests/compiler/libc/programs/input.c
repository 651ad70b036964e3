/* Lines from the console: '\n', '\r' and "\r\n" each end one line; a
 * short buffer takes the line in pieces. */
#include <stdio.h>
#include <string.h>

int main(void)
{
    char line[8];
    int i, c;
    for (i = 0; i < 5; i++) {
        if (!fgets(line, sizeof line, stdin))
            break;
        printf("%d [%s]\n", (int)strlen(line), line);
    }
    c = getchar();
    printf("getchar %d\n", c);
    printf("fgets 1 [%s]\n", fgets(line, 1, stdin));
    puts("done");
    return 0;
}
