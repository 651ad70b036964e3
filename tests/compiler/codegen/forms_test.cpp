// The code forms of the generator, each checked in the emitted text of a
// small source: how objects are reached, the short forms of steps and
// assignment operators, the runtime calls, calls and results, comparisons,
// loop shapes and the printer's immediate and block-move forms.
#include "tests/compiler/codegen/access_count.h"
#include "tests/compiler/harness.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace zun::tcx::test {
namespace {

std::string code(const std::string& src, std::vector<std::string> options = {"-O"}) {
    Compiled c = compile(src, std::move(options));
    EXPECT_EQ(c.rc, 0) << c.err;
    EXPECT_EQ(c.out.find("OP_ERROR"), std::string::npos) << c.out;
    return body(c.out);
}

#define EXPECT_HAS(text, part) EXPECT_TRUE(has(text, part)) << "missing:\n" << (part) << "\nin:\n" << (text)
#define EXPECT_LACKS(text, part) EXPECT_FALSE(has(text, part)) << "unwanted:\n" << (part) << "\nin:\n" << (text)

TEST(Forms, ObjectsAreReachedWithoutDToX) {
    std::string t = code("char *s; char c; void f(void) { c = *s++; }\n");
    EXPECT_HAS(t, "\tLDX\t_s\n\tLDB\t,X+\n\tSTX\t_s\n\tSTB\t_c\n");
    t = code("int *p; int i; void f(void) { i = *p--; }\n");
    EXPECT_HAS(t, "\tLDX\t_p\n\tLDD\t,X\n\tLEAX\t-2,X\n\tSTX\t_p\n");
    t = code("long *lp; long l; void f(void) { l = *lp++; }\n");
    EXPECT_HAS(t, "\tLDX\t_lp\n\tLDY\t,X++\n\tLDD\t,X++\n\tSTX\t_lp\n");
    // a local pointer through [n,S], a global one through [name,PCR]
    t = code("int f(char *p) { return *p; }\n");
    EXPECT_HAS(t, "\tLDB\t[2,S]\n");
    EXPECT_LACKS(t, "TFR\tD,X");
    t = code("char *gp; int f(void) { return *gp; }\n");
    EXPECT_HAS(t, "\tLDB\t[_gp,pcr]\n");
    t = code("int f(void) { return *(unsigned char *)0xE028; }\n");
    EXPECT_HAS(t, "\tLDB\t$E028\n");
    // a pointer plus a constant: the pointer in X, the constant the offset
    t = code("struct pt { int x, y; }; int f(struct pt *p) { return p->y; }\n");
    EXPECT_HAS(t, "\tLDX\t2,S\n\tLDD\t2,X\n");
    // a pointer plus an index: D,X
    t = code("char a[10]; int f(int i) { return a[i]; }\n");
    EXPECT_HAS(t, "\tLDD\t2,S\n\tLDX\t#_a\n\tLDB\tD,X\n");
    // *d++ = *s++: X and U walk, both pointers go back
    t = code("void f(char *d, char *s) { *d++ = *s++; }\n");
    EXPECT_HAS(t, "\tLDX\t2,S\n\tLDU\t4,S\n\tLDB\t,U+\n\tSTB\t,X+\n\tSTU\t4,S\n\tSTX\t2,S\n");
}

TEST(Forms, StepsTakeTheirShortForms) {
    std::string t = code("int i; void f(void) { i++; }\n");
    EXPECT_HAS(t, "\tLDX\t_i\n\tLEAX\t1,X\n\tSTX\t_i\n");
    EXPECT_LACKS(t, "SUBD");
    t = code("int i; void f(void) { i += 3; }\n");
    EXPECT_HAS(t, "\tLDX\t_i\n\tLEAX\t1,X\n\tLEAX\t1,X\n\tLEAX\t1,X\n\tSTX\t_i\n");
    t = code("int i; void f(void) { i += 5; }\n");
    EXPECT_HAS(t, "\tLDD\t_i\n\tADDD\t#5\n\tSTD\t_i\n");
    t = code("struct s { int a, i; } *p; void f(void) { p->i += 3; }\n");
    EXPECT_HAS(t, "\tLDX\t_p\n\tLDD\t2,X\n\tADDD\t#3\n\tSTD\t2,X\n");
    t = code("char c; void f(void) { c -= 2; }\n");
    EXPECT_HAS(t, "\tDEC\t_c\n\tDEC\t_c\n");
    t = code("char c; int f(void) { return c -= 2; }\n");
    EXPECT_HAS(t, "\tLDB\t_c\n\tDECB\n\tDECB\n\tSTB\t_c\n");
    t = code("char c; int f(void) { return c++; }\n");
    EXPECT_HAS(t, "\tLDB\t_c\n\tINC\t_c\n");
    t = code("int i; int f(void) { return i++; }\n");
    EXPECT_HAS(t, "\tLDX\t_i\n\tTFR\tX,D\n\tLEAX\t1,X\n\tSTX\t_i\n");
    t = code("int *p; void f(void) { p++; }\n");
    EXPECT_HAS(t, "\tLDX\t_p\n\tLEAX\t1,X\n\tLEAX\t1,X\n\tSTX\t_p\n");
    t = code("long *p; void f(void) { p--; }\n");
    EXPECT_HAS(t, "\tLDX\t_p\n\tLEAX\t-4,X\n\tSTX\t_p\n");
    // an object reached through X steps through Y
    t = code("struct s { int a, i; } *p; void f(void) { p->i++; }\n");
    EXPECT_HAS(t, "\tLDX\t_p\n\tLDY\t2,X\n\tLEAY\t1,Y\n\tSTY\t2,X\n");
    t = code("long l; void f(void) { l++; }\n");
    EXPECT_HAS(t, "\tADDD\t#0x0001\n\tBCC\t.+4\n\tLEAY\t1,Y\n\tSTY\t_l\n\tSTD\t2+_l\n");
    // a float's old value waits on the stack while the routine adds 1
    t = code("float x; float f(void) { return x++; }\n");
    EXPECT_HAS(t, "\tPSHS\tD\n\tPSHS\tY\n");
    EXPECT_HAS(t, "\tJSR\taddf\n");
    EXPECT_HAS(t, "\tPULS\tY\n\tPULS\tD\n");
}

TEST(Forms, AssignmentOperators) {
    std::string t = code("unsigned char c; void f(void) { c *= 3; }\n");
    EXPECT_HAS(t, "\tLDB\t#3\n\tLDA\t_c\n\tMUL\n\tSTB\t_c\n");
    t = code("char c; void f(void) { c *= 3; }\n");
    EXPECT_HAS(t, "\tLDA\t_c\n\tJSR\tmuls8\n\tSTB\t_c\n");
    t = code("int i, j; void f(void) { i /= j; }\n");
    EXPECT_HAS(t, "\tLDD\t_j\n\tLDX\t_i\n\tPSHS\tD\n\tPSHS\tX\n\tJSR\tdivs16\n\tLEAS\t4,S\n\tSTD\t_i\n");
    t = code("unsigned u, v; void f(void) { u %= v; }\n");
    EXPECT_HAS(t, "\tJSR\tmodu16\n");
    t = code("long l, m; void f(void) { l += m; }\n");
    EXPECT_HAS(t, "\tLDY\t_m\n\tLDD\t2+_m\n\tPSHS\tD\n\tPSHS\tY\n\tLDY\t_l\n\tLDD\t2+_l\n\tPSHS\tD\n\tPSHS\tY\n"
                  "\tJSR\tadd32\n\tLEAS\t8,S\n\tSTY\t_l\n\tSTD\t2+_l\n");
    t = code("float x; void f(void) { x *= 2.0; }\n");
    EXPECT_HAS(t, "\tJSR\tmulf\n\tLEAS\t8,S\n");
    t = code("unsigned char c; void f(void) { c <<= 2; }\n");
    EXPECT_HAS(t, "\tASL\t_c\n\tASL\t_c\n");
    t = code("int i, n; void f(void) { i <<= n; }\n");
    EXPECT_HAS(t, "\tTFR\tD,X\n\tLDD\t_i\n");
    EXPECT_HAS(t, "\tSTD\t_i\n");
    // s.f += 1 for a 3-bit field at bit 2: the byte read, the field cleared
    // in memory through a second B (the first saved around it), the field
    // isolated, shifted down, added to, masked, shifted up and ORed back
    t = code("struct s { unsigned char lo : 2, f : 3; } s; void f(void) { s.f += 1; }\n");
    EXPECT_HAS(t, "\tLDB\t_s\n\tPSHS\tB\n\tLDB\t_s\n\tANDB\t#$E3\n\tSTB\t_s\n\tPULS\tB\n\tANDB\t#$1C\n"
                  " LSRB\n LSRB\n\tADDB\t#1\n\tANDB\t#$07\n ASLB\n ASLB\n\tORB\t_s\n\tSTB\t_s\n");
    // a field of a 32-bit word and a value that is not constant: a 4-byte
    // temporary and a 32-bit routine
    t = code("struct w { unsigned long a : 5, b : 20; } w; long x; void f(void) { w.b += x; }\n");
    EXPECT_HAS(t, "\tLDY\t_x\n\tLDD\t2+_x\n\tSTY\t0,S\n\tSTD\t2,S\n");
    EXPECT_HAS(t, "\tJSR\tadd32\n\tLEAS\t8,S\n");
}

TEST(Forms, ProductsByConstantsShiftAndAdd) {
    // a variable is read again; another operand waits on the stack
    std::string t = code("int x; int f(void) { return x * 5; }\n");
    EXPECT_HAS(t, "\tLDD\t_x\n\tLSLB\n\tROLA\n\tLSLB\n\tROLA\n\tADDD\t_x\n\tRTS\n");
    t = code("int f(int *p) { return *p * 7; }\n");
    EXPECT_HAS(t, "\tLDD\t[2,S]\n\tPSHS\tD\n\tLSLB\n\tROLA\n\tLSLB\n\tROLA\n\tLSLB\n\tROLA\n\tSUBD\t,S++\n");
    t = code("int f(int x) { return x * 0x300; }\n");
    EXPECT_HAS(t, "\tADDD\t2,S\n\tTFR\tB,A\n\tCLRB\n\tRTS\n");
    t = code("int f(int *p) { return p[3] *= 6; }\n");
    EXPECT_HAS(t, "\tLDX\t2,S\n\tLDD\t6,X\n\tPSHS\tD\n\tLSLB\n\tROLA\n\tADDD\t,S++\n\tLSLB\n\tROLA\n\tSTD\t6,X\n");
    // a volatile object is read once; many bits still go to the routine
    t = code("volatile int v; int f(void) { return v * 3; }\n");
    EXPECT_HAS(t, "\tLDD\t_v\n\tPSHS\tD\n\tLSLB\n\tROLA\n\tADDD\t,S++\n");
    t = code("unsigned f(unsigned x) { return x * 25173u; }\n");
    EXPECT_HAS(t, "\tJSR\tmulu16\n");
}

TEST(Forms, ValuesStillInRegistersAreNotLoadedAgain) {
    // X still holds the pointer after the branch; D the value just stored
    std::string t = code("struct n { struct n *next; int v; char tag; };\n"
                         "int f(struct n *p) { if (p->tag != 3) return p->v; return 0; }\n");
    EXPECT_HAS(t, "\tLDX\t2,S\n\tLDB\t4,X\n\tCMPB\t#3\n\tBEQ\t_2\n\tLDD\t2,X\n");
    t = code("int g(int); int f(int a) { int b; b = a + 1; return g(b); }\n");
    EXPECT_HAS(t, "\tSTD\t0,S\n\tPSHS\tD\n");
    // a store through a pointer may change any local, a call anything
    t = code("int f(int a, int *p) { int b; b = a; *p = 1; return b + a; }\n");
    EXPECT_HAS(t, "\tSTD\t[6,S]\n\tLDD\t0,S\n");
    t = code("int g(void); int f(int a) { int b; b = a; g(); return b; }\n");
    EXPECT_HAS(t, "\tJSR\t_g\n\tLDD\t0,S\n");
    // nothing is kept of a function with a volatile local, or a local
    // structure with a volatile member
    t = code("int f(int a) { volatile int b; b = a; return b; }\n");
    EXPECT_HAS(t, "\tSTD\t0,S\n\tLDD\t0,S\n");
    t = code("struct sv { int a; volatile int v; }; int f(void) { struct sv s; int x; s.v = 5; x = s.v; return x; }\n");
    EXPECT_HAS(t, "\tSTD\t4,S\n\tLDD\t4,S\n");
}

TEST(Forms, WalkingPointersStayInRegistersOverLoops) {
    // both pointers of a copy loop live in U and Y, stored back after it
    std::string t = code("void copy(char *d, char *s) { while ((*d++ = *s++) != 0) ; }\n");
    EXPECT_HAS(t, "\tLDU\t4,S\n\tLDY\t2,S\n_2:\n\tLDB\t,U+\n\tSTB\t,Y+\n\tBNE\t_2\n\tSTY\t2,S\n\tSTU\t4,S\n");
    t = code("int len(char *s) { char *p = s; while (*p++) ; return p - s; }\n");
    EXPECT_HAS(t, "\tLDU\t0,S\n_2:\n\tLDB\t,U+\n\tBNE\t_2\n\tSTU\t0,S\n");
    // a volatile pointer goes to memory at every step
    t = code("int f(char *q) { char *volatile p = q; int n = 0; while (*p++) n++; return n; }\n");
    EXPECT_HAS(t, "\tLDX\t2,S\n\tLDB\t,X+\n\tSTX\t2,S\n");
    // a call in the loop may change any register; without -O nothing moves
    t = code("void g(void); int f(char *p) { int n = 0; while (*p++) { g(); n++; } return n; }\n");
    EXPECT_HAS(t, "\tLDX\t4,S\n\tLDB\t,X+\n\tSTX\t4,S\n");
    t = code("void copy(char *d, char *s) { while ((*d++ = *s++) != 0) ; }\n", {});
    EXPECT_HAS(t, "\tLDX\t2,S\n\tLDU\t4,S\n\tLDB\t,U+\n\tSTB\t,X+\n\tSTU\t4,S\n\tSTX\t2,S\n");
    // the long move names the registers its walks moved to, on both sides
    t = code("void copy(long *d, long *s, int n) { while (n--) *d++ = *s++; }\n");
    EXPECT_HAS(t, "\tLDU\t4,S\n\tLDY\t2,S\n");
    EXPECT_HAS(t, "\tLDD\t,U++\n\tSTD\t,Y++\n\tLDD\t,U++\n\tSTD\t,Y++\n\tBRA\t_2\n_3:\n\tSTY\t2,S\n\tSTU\t4,S\n");
    t = code("void two(long *d, long *s, long *e, long *r, int n) { while (n--) { *d++ = *s++; *e++ = *r++; } }\n");
    EXPECT_HAS(t, "\tLDX\t2,S\n\tLDD\t,Y++\n\tSTD\t,X++\n\tLDD\t,Y++\n\tSTD\t,X++\n\tSTX\t2,S\n");
    EXPECT_HAS(t, "\tLDX\t6,S\n\tLDD\t,U++\n\tSTD\t,X++\n\tLDD\t,U++\n\tSTD\t,X++\n\tSTX\t6,S\n");
    t = code("void back(long *d, long *s, int n) { while (n--) *d-- = *s--; }\n");
    EXPECT_HAS(t, "\tLDD\t,U\n\tSTD\t,X\n\tLDD\t2,U\n\tSTD\t2,X\n\tLEAU\t-4,U\n");
    // a float's source walks through X and goes back; the destination's
    // old value addresses the store; a structure moves between U and X
    t = code("void fc(float *d, float *s, int n) { while (n--) *d++ = *s++; }\n");
    EXPECT_HAS(t, "\tLDX\t4,S\n\tLDY\t,X++\n\tLDD\t,X++\n\tSTX\t4,S\n");
    EXPECT_HAS(t, "\tLEAX\t4,X\n\tSTX\t6,S\n\tTFR\tD,X\n\tPULS\tY\n\tPULS\tD\n\tSTY\t0,X\n\tSTD\t2,X\n");
    t = code("struct pt { int x; char c; long w; };\n"
             "void sc(struct pt *d, struct pt *s, int n) { while (n--) *d++ = *s++; }\n");
    EXPECT_HAS(t, "\tTFR\tD,X\n\tPULS\tU\n\tLDA\t#7\n");
}

// Every access in the source reads (and a store writes) each byte of a
// volatile object once, under every option set, whatever plan the product,
// shift, step or bit-field store has; a member that is not volatile may
// still be read again.
TEST(Forms, VolatileObjectsAreAccessedOncePerSourceAccess) {
    const std::string decls =
        "struct SV { int a; volatile int v; char pad; volatile char c; volatile long l; volatile float f; } gs;\n"
        "long gl;\n"
        "struct BF { volatile unsigned f : 3, g : 4; } bf;\n"
        "struct LB { volatile unsigned long f : 5, g : 20; } lb;\n"
        "struct acia { unsigned char ctrl, data; };\n"
        "union VU { int i; volatile char b[2]; } vu;\n"
        "volatile int va[4];\n";
    struct Case {
        const char* source;
        const char* object;  // "" for an absolute address
        long from, to;       // the bytes looked at
        int reads, writes;
    };
    const Case cases[] = {
        {"int f(void) { return gs.v * 7; }", "_gs", 2, 3, 1, 0},
        {"int f(void) { return gs.v * 10; }", "_gs", 2, 3, 1, 0},
        {"int f(void) { return gs.a * 7; }", "_gs", 0, 1, 2, 0},
        {"void f(void) { gs.v *= 3; }", "_gs", 2, 3, 1, 1},
        {"void f(void) { gs.c += 3; }", "_gs", 5, 5, 1, 1},
        {"void f(void) { gs.c += 0; }", "_gs", 5, 5, 1, 1},
        {"void f(void) { gs.c <<= 3; }", "_gs", 5, 5, 1, 1},
        {"int f(void) { return gs.c++; }", "_gs", 5, 5, 1, 1},
        {"int f(void) { return gs.c--; }", "_gs", 5, 5, 1, 1},
        {"int f(void) { return (int)gs.l; }", "_gs", 6, 9, 1, 0},
        {"void f(long x) { gs.l = x; gl = gs.l; }", "_gs", 6, 9, 1, 1},
        {"void f(long x) { gs.l = x; gs.l++; }", "_gs", 6, 9, 1, 2},
        {"void f(void) { gs.f++; }", "_gs", 10, 13, 1, 1},
        {"float f(void) { return gs.f--; }", "_gs", 10, 13, 1, 1},
        {"void f(int x) { bf.f = x; }", "_bf", 0, 1, 1, 1},
        {"int f(int x) { return bf.g += x; }", "_bf", 0, 1, 1, 1},
        {"int f(void) { return bf.g++; }", "_bf", 0, 1, 1, 1},
        {"void f(long x) { lb.g = x; }", "_lb", 0, 3, 1, 1},
        {"void f(void) { lb.g += 3; }", "_lb", 0, 3, 1, 1},
        {"void f(void) { ((volatile struct acia *)0xE028)->ctrl += 2; }", "", 0xE028, 0xE028, 1, 1},
        {"int f(void) { return ((volatile struct acia *)0xE028)->data * 10; }", "", 0xE029, 0xE029, 1, 0},
        {"void f(void) { vu.b[1] <<= 2; }", "_vu", 1, 1, 1, 1},
        {"int f(void) { return va[1] * 7; }", "_va", 2, 3, 1, 0},
    };
    for (const char* options : {"", "-O", "-g", "-g -O"}) {
        std::vector<std::string> args;
        std::istringstream words(options);
        for (std::string w; words >> w;) args.push_back(w);
        for (const Case& c : cases) {
            std::string t = code(decls + c.source + "\n", args);
            std::map<long, ByteAccess> seen = byte_accesses(t, c.object);
            for (long b = c.from; b <= c.to; ++b) {
                EXPECT_EQ(seen[b].reads, c.reads) << c.source << " '" << options << "' byte " << b << ":\n" << t;
                EXPECT_EQ(seen[b].writes, c.writes) << c.source << " '" << options << "' byte " << b << ":\n" << t;
            }
        }
    }
}

TEST(Forms, ShiftsNegationAndTemporaries) {
    std::string t = code("unsigned char c; void f(void) { c <<= 9; }\n");
    EXPECT_HAS(t, "\tCLRB\n\tSTB\t_c\n");
    t = code("int f(int a, int n) { return a << n; }\n");
    EXPECT_HAS(t, "\tLDD\t4,S\n\tTFR\tD,X\n\tLDD\t2,S\n");
    t = code("float x; void f(void) { x = -x; }\n");
    EXPECT_HAS(t, "\tEXG\tD,Y\n\tEORA\t#$80\n\tEXG\tD,Y\n");
    EXPECT_LACKS(t, "JSR");
    // two complex operands: the right one first, into a temporary
    t = code("int g(int); int f(int a) { int t; t = g(a) - g(a + 1); return t; }\n");
    EXPECT_HAS(t, "\tADDD\t#1\n\tPSHS\tD\n\tJSR\t_g\n\tLEAS\t2,S\n\tSTD\t0,S\n");
    EXPECT_HAS(t, "\tJSR\t_g\n\tLEAS\t2,S\n\tSUBD\t0,S\n");
}

TEST(Forms, Conversions) {
    std::string t = code("int i; float x; void f(void) { x = (float)i; }\n");
    EXPECT_HAS(t, "\tLDY\t#0\n\tBITA\t#$80\n\tBEQ\t");
    EXPECT_HAS(t, "\tLEAY\t-1,Y\n");
    EXPECT_HAS(t, "\tJSR\tsltof\n");
    t = code("long l; unsigned char c; void f(void) { c = (unsigned char)l; }\n");
    EXPECT_HAS(t, "\tLDD\t2+_l\n\tSTB\t_c\n");
    EXPECT_LACKS(t, "JSR");
    t = code("long l, m; int f(void) { return l < m; }\n");
    EXPECT_HAS(t, "\tJSR\tcmp32\n\tLEAS\t8,S\n\tBGE\t");
    t = code("unsigned long l, m; int f(void) { return l < m; }\n");
    EXPECT_HAS(t, "\tJSR\tcmp32\n\tLEAS\t8,S\n\tBCC\t");
}

TEST(Forms, CallsAndResults) {
    std::string t = code("int g(int, int); int a, b; int f(void) { return g(a, b); }\n");
    EXPECT_HAS(t, "\tLDD\t_b\n\tPSHS\tD\n\tLDD\t_a\n\tPSHS\tD\n\tJSR\t_g\n\tLEAS\t4,S\n");
    t = code("void g(char, long); char c; long l; void f(void) { g(c, l); }\n");
    EXPECT_HAS(t, "\tPSHS\tD\n\tPSHS\tY\n\tLDB\t_c\n\tPSHS\tB\n\tJSR\t_g\n\tLEAS\t5,S\n");
    t = code("void h(char *); char buf[4]; void f(void) { char l[2]; h(buf); h(l); }\n");
    EXPECT_HAS(t, "\tLDX\t#_buf\n\tPSHS\tX\n");
    EXPECT_HAS(t, "\tLEAX\t0,S\n\tPSHS\tX\n");
    t = code("int (*fp)(void); int f(void) { return fp(); }\n");
    EXPECT_HAS(t, "\tJSR\t[_fp,PCR]\n");
    t = code("int f(int (*q)(void)) { return q(); }\n");
    EXPECT_HAS(t, "\tJSR\t[2,S]\n");
    // a structure result straight into a variable: its address is the hidden pointer
    t = code("struct S { int a, b, c; }; struct S mk(void); struct S s; void f(void) { s = mk(); }\n");
    EXPECT_HAS(t, "\tLDX\t#_s\n\tPSHS\tX\n\tJSR\t_mk\n\tLEAS\t2,S\n");
    EXPECT_LACKS(t, ",U");
    t = code("struct S { int a, b, c; }; struct S mk(void); int f(void) { return mk().b; }\n");
    EXPECT_HAS(t, "\tLEAX\t0,S\n\tPSHS\tX\n\tJSR\t_mk\n");
}

TEST(Forms, Assignments) {
    std::string t = code("int a, b, c; void f(void) { a = b = c; }\n");
    EXPECT_HAS(t, "\tLDD\t_c\n\tSTD\t_b\n\tSTD\t_a\n");
    t = code("long l; void f(void) { l = 0; }\n");
    EXPECT_HAS(t, "\tCLRA\n\tCLRB\n\tSTD\t_l\n\tSTD\t2+_l\n");
    t = code("char c; void f(void) { c = 0; }\n");
    EXPECT_HAS(t, "\tCLR\t_c\n");
    t = code("int *p; void f(void) { int k; p = &k; }\n");
    EXPECT_HAS(t, "\tLEAX\t0,S\n\tSTX\t_p\n");
    t = code("int a[4]; void f(int i, int v) { a[i] = v; }\n");
    EXPECT_HAS(t, "\tLDX\t#_a\n\tLEAX\tD,X\n\tLDD\t4,S\n\tSTD\t0,X\n");
}

TEST(Forms, ComparisonsAndTests) {
    std::string t = code("void g(void); unsigned u; void f(void) { if (u < 0) g(); }\n");
    EXPECT_HAS(t, "\tLDD\t_u\n\tCMPD\t#0\n\tBCC\t");
    // a load sets N and Z and clears V: no compare with 0 is left for the
    // signed branches, but one is for those that read the carry
    t = code("void g(void); int i; void f(void) { if (i < 0) g(); }\n");
    EXPECT_HAS(t, "\tLDD\t_i\n\tBGE\t");
    EXPECT_HAS(code("void g(void); int i; void f(void) { if (i < 0) g(); }\n", {}), "\tLDD\t_i\n\tCMPD\t#0\n\tBGE\t");
    t = code("void g(void); int *p; void f(void) { while (p) p = (int *)*p; }\n");
    EXPECT_HAS(t, "\tLDD\t_p\n\tBEQ\t");
    t = code("void g(void); int x; void f(int a) { if ((x = a) > 0) g(); }\n");
    EXPECT_HAS(t, "\tLDD\t2,S\n\tSTD\t_x\n\tBLE\t");
    t = code("void g(void); char c; void f(void) { if (c) g(); }\n");
    EXPECT_HAS(t, "\tTST\t_c\n\tBEQ\t");
    t = code("void g(void); char *p; void f(void) { if (*p++ == 0) g(); }\n");
    EXPECT_HAS(t, "\tLDX\t_p\n\tLDB\t,X+\n\tSTX\t_p\n\tCMPB\t#0\n\tBNE\t");
    // two chars, or a char and a constant it holds, compare as bytes
    t = code("void g(void); char a, b; void f(void) { if (a == b) g(); if (a < 'x') g(); }\n");
    EXPECT_HAS(t, "\tLDB\t_a\n\tCMPB\t_b\n\tBNE\t");
    EXPECT_HAS(t, "\tLDB\t_a\n\tCMPB\t#$78\n\tBGE\t");
    t = code("void g(void); unsigned char a; void f(void) { if (a < 200) g(); }\n");
    EXPECT_HAS(t, "\tCMPB\t#$C8\n\tBCC\t");
}

TEST(Forms, LoopShapes) {
    // for: test, step and body in this order; the test enters the body
    std::string t = code("int g; void f(int n) { int i; for (i = 0; i < n; i++) g++; }\n", {});
    EXPECT_HAS(t, "\tCMPD\t4,S\n\tBLT\t_4\n\tBRA\t_5\n_3:\n\tLDX\t0,S\n\tLEAX\t1,X\n\tSTX\t0,S\n\tBRA\t_2\n_4:\n");
    EXPECT_HAS(t, "\tSTX\t_g\n\tBRA\t_3\n_5:\n");
    t = code("int g; void f(int n) { while (n) { g++; n--; } }\n", {});
    EXPECT_HAS(t, "_2:\n\tLDD\t2,S\n\tCMPD\t#0\n\tBEQ\t_3\n");
    EXPECT_HAS(t, "\tBRA\t_2\n_3:\n");
    t = code("int g; void f(long v) { switch (v) { case 100000: g = 1; break; case 2: g = 2; } }\n");
    EXPECT_HAS(t, "\tCMPD\t#$86A0\n\tBNE\t.+6\n\tCMPY\t#$0001\n\tBEQ\t");
}

TEST(Forms, BranchesAndPeephole) {
    // a taken exit over the branch that skips it turns round with -Op
    std::string src = "void g(void); void f(int a, int b) { for (;;) { if (a == b) break; g(); } }\n";
    EXPECT_HAS(code(src, {}), "\tBNE\t");
    std::string t = code(src);
    EXPECT_HAS(t, "\tCMPD\t4,S\n\tBEQ\t");
    EXPECT_LACKS(t, "\tBNE\t");
    t = code("void g(void); void f(int a, int b) { for (;;) { if (a > b) break; g(); } }\n");
    EXPECT_HAS(t, "\tBLE\t");
    EXPECT_HAS(t, "\tBRA\t");
    // LDD #n and STD _x take 6 bytes: a forward branch over 22 such
    // statements (132 bytes) is long, over 21 (126 bytes) short
    std::string many = "int x; void f(int a) { if (a) {";
    for (int i = 0; i < 22; ++i) many += " x = " + std::to_string(i + 1) + ";";
    EXPECT_HAS(code(many + " } }\n"), "\tLBEQ\t");
    std::string few = "int x; void f(int a) { if (a) {";
    for (int i = 0; i < 21; ++i) few += " x = " + std::to_string(i + 1) + ";";
    t = code(few + " } }\n");
    EXPECT_HAS(t, "\tBEQ\t");
    EXPECT_LACKS(t, "LBEQ");
}

TEST(Forms, PrinterImmediatesAndBlockMoves) {
    std::string t = code("int f(int x) { return x & 0xFF; }\n");
    EXPECT_HAS(t, "\tLDD\t2,S\n\tCLRA\n\tRTS\n");
    t = code("int f(int a, int b) { return a & b; }\n");
    EXPECT_HAS(t, "\tLDD\t2,S\n\tANDB\t5,S\n\tANDA\t4,S\n");
    t = code("struct s7 { char c[7]; } a7, b7; void f(void) { a7 = b7; }\n");
    EXPECT_HAS(t, "\tLDA\t#7\n");
    EXPECT_HAS(t, "\tLDB\t,U+\n\tSTB\t,X+\n\tDECA\n\tBNE\t");
    t = code("struct s4 { char c[4]; } a4, b4; void f(void) { a4 = b4; }\n");
    EXPECT_HAS(t, "\tLDX\t#_a4\n\tLDU\t#_b4\n\tLDD\t0,U\n\tSTD\t0,X\n\tLDD\t2,U\n\tSTD\t2,X\n");
    t = code("struct big { char c[300]; } a, b; void f(void) { a = b; }\n");
    EXPECT_HAS(t, "\tLDY\t#150\n");
}

}  // namespace
}  // namespace zun::tcx::test
