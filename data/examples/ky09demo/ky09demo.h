/* ky09demo.h - what the two sources of the demo share. */
#ifndef KY09DEMO_H
#define KY09DEMO_H

#define HISTORY_SIZE 4

/* Everything the demo keeps from one turn of its loop to the next. */
struct demo_state {
    unsigned int turns;         /* turns of the main loop so far */
    unsigned char lamps;        /* the pattern on the lamps */
    unsigned char keys;         /* keys typed so far */
    char history[HISTORY_SIZE]; /* the last keys typed, the newest first */
};

extern struct demo_state demo;

/* console.c: the console terminal on ACIA 1 */
void console_init(void);
void console_put(char c);
void console_print(const char *text);
int console_key(void); /* the next key typed, or -1 when none waits */

#endif
