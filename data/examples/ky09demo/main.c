/* ky09demo - greets on the console, runs a light along the lamps on PIA 1
 * and echoes every key typed on the console; 'q' says goodbye and ends the
 * program. */
#include <ky09.h>
#include "ky09demo.h"

struct demo_state demo;

static void lamps_init(void)
{
    PIA1_CONTROL_A = 0;    /* the data register is the direction register */
    PIA1_DATA_A = 0xFF;    /* all eight lines drive lamps */
    PIA1_CONTROL_A = PIA_DATA_SELECT;
}

/* The lamps for this turn: every 64th turn the light moves on by one. */
unsigned char next_lamps(unsigned int turn)
{
    unsigned char pattern = demo.lamps;
    unsigned int phase = turn & 63;

    if (phase == 0) {
        pattern = (unsigned char)(pattern << 1);
        if (pattern == 0)
            pattern = 1;
    }
    return pattern;
}

static void remember(char key)
{
    int i;

    for (i = HISTORY_SIZE - 1; i > 0; i--)
        demo.history[i] = demo.history[i - 1];
    demo.history[0] = key;
    demo.keys++;
}

int main(void)
{
    int key;

    console_init();
    lamps_init();
    demo.lamps = 1;
    console_print("Hello from the KY09 board!\nType something; q ends the demo.\n");
    for (;;) {
        demo.turns++;
        demo.lamps = next_lamps(demo.turns);
        PIA1_DATA_A = demo.lamps;
        key = console_key();
        if (key < 0)
            continue;
        remember((char)key);
        if (key == 'q')
            break;
        if (key == '\r')
            console_print("\n");
        else
            console_put((char)key);
    }
    console_print("\nGoodbye.\n");
    return 0;
}
