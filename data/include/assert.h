/* assert.h - diagnostics for tcx09 (KY09, MC6809). A failed assertion
 * prints "Assertion failed: <expression>, file <name>, line <n>" and a
 * newline on the console and ends the program through abort. With NDEBUG
 * defined before the inclusion, assert does nothing. */
#undef assert

#ifdef NDEBUG
#define assert(e) ((void)0)
#else
void __assert_fail(const char *expr, const char *file, int line);
#define assert(e) ((e) ? (void)0 : __assert_fail(#e, __FILE__, __LINE__))
#endif
