// The operand and instruction printers, one line of expected assembler
// text per opcode and operand mode.
#include "tests/compiler/codegen/harness.h"

#include <gtest/gtest.h>

#include <functional>

namespace zun::tcx::test {
namespace {

struct Case {
    const char* name;
    std::function<Insn*(Gen&)> build;
    const char* expected;
};

void run_table(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        Gen g;
        g.cg->locals_size = 6;
        Insn* e = c.build(g);
        EXPECT_EQ(g.print(e), c.expected) << c.name;
    }
}

Operand* acc(Gen& g, uint8_t r) { return operand_reg(*g.cg, M_ACK, r); }

TEST(OperandPrinter, EveryMode) {
    run_table({
        {"accumulator B", [](Gen& g) { return g.entry(OP_INC, 1, acc(g, R_B)); }, "\tINCB\n"},
        {"other accumulator", [](Gen& g) { return g.entry(OP_INC, 1, acc(g, R_A)); }, "\tINC?\n"},
        {"pointer in X", [](Gen& g) { return g.entry(OP_ADD, 2, g.indexed(M_XREG, 0)); }, "\tADDD\t,X\n"},
        {"X based", [](Gen& g) { return g.entry(OP_ADD, 1, g.indexed(M_XACK, 3)); }, "\tADDB\t3,X\n"},
        {"Y based", [](Gen& g) { return g.entry(OP_SUB, 2, g.indexed(M_YACK, -2)); }, "\tSUBD\t-2,Y\n"},
        {"X indirect", [](Gen& g) { return g.entry(OP_CMP, 2, g.indexed(M_IXACK, 4)); }, "\tCMPD\t[4,X]\n"},
        {"Y indirect", [](Gen& g) { return g.entry(OP_CMP, 1, g.indexed(M_IYACK, 0)); }, "\tCMPB\t[0,Y]\n"},
        {"immediate 8", [](Gen& g) { return g.entry(OP_ADD, 1, operand_imm(*g.cg, 5)); }, "\tADDB\t#5\n"},
        {"immediate 16 hex", [](Gen& g) { return g.entry(OP_SUB, 2, operand_imm(*g.cg, 300)); }, "\tSUBD\t#$12C\n"},
        {"immediate negative", [](Gen& g) { return g.entry(OP_ADD, 2, operand_imm(*g.cg, -1)); }, "\tADDD\t#-1\n"},
        {"immediate -20", [](Gen& g) { return g.entry(OP_ADD, 2, operand_imm(*g.cg, -20)); }, "\tADDD\t#$FFEC\n"},
        {"address of global", [](Gen& g) {
             Operand* d = g.glob("tab");
             d->mode = M_ADRGLOB;
             return g.entry(OP_CMP, 2, d);
         }, "\tCMPD\t#_tab\n"},
        {"local", [](Gen& g) { return g.entry(OP_ADD, 2, g.loc(-4)); }, "\tADDD\t2,S\n"},
        {"local byte", [](Gen& g) { return g.entry(OP_CMP, 1, g.loc(-1)); }, "\tCMPB\t5,S\n"},
        {"parameter", [](Gen& g) { return g.entry(OP_ADD, 2, g.loc(2)); }, "\tADDD\t8,S\n"},
        {"global", [](Gen& g) { return g.entry(OP_ADD, 2, g.glob("count")); }, "\tADDD\t_count\n"},
        {"static label", [](Gen& g) { return g.entry(OP_ADD, 1, operand_label(*g.cg, 12)); }, "\tADDB\t_12\n"},
        {"indirect local", [](Gen& g) {
             Operand* d = g.loc(-2);
             d->mode = M_LOCIND;
             return g.entry(OP_LOAD, R_D, d);
         }, "\tLDD\t[4,S]\n"},
        {"indirect global", [](Gen& g) {
             Operand* d = g.glob("p");
             d->mode = M_GLOBIND;
             return g.entry(OP_LOAD, R_B, d);
         }, "\tLDB\t[_p,pcr]\n"},
        {"D,X", [](Gen& g) { return g.entry(OP_LOAD, R_B, g.indexed(M_DXACK, 0)); }, "\tLDB\tD,X\n"},
        {"[D,X]", [](Gen& g) { return g.entry(OP_LOAD, R_D, g.indexed(M_IDXACK, 0)); }, "\tLDD\t[D,X]\n"},
        {"top of stack popped", [](Gen& g) {
             Operand* d = new_operand(*g.cg, M_TOS);
             d->step = 1;
             return g.entry(OP_ADD, 2, d);
         }, "\tADDD\t,S++\n"},
        {"post-increment byte", [](Gen& g) {
             Operand* d = g.indexed(M_PROC, 0, R_X);
             d->step = 1;
             return g.entry(OP_LOAD, R_B, d);
         }, "\tLDB\t,X+\n"},
        {"post-increment word through U", [](Gen& g) {
             Operand* d = g.indexed(M_PROC, 0, R_U);
             d->step = 1;
             return g.entry(OP_STORE, R_D, d);
         }, "\tSTD\t,U++\n"},
        {"post-decrement word through Y", [](Gen& g) {
             Operand* d = g.indexed(M_PROC, 0, R_Y);
             d->step = -1;
             return g.entry(OP_LOAD, R_D, d);
         }, "\tLDD\t,Y\n\tLEAY\t-2,Y\n"},
        {"post-decrement byte", [](Gen& g) {
             Operand* d = g.indexed(M_PROC, 0, R_X);
             d->step = -1;
             return g.entry(OP_STORE, R_B, d);
         }, "\tSTB\t,X\n\tLEAX\t-1,X\n"},
        {"unhandled mode", [](Gen& g) { return g.entry(OP_ADD, 2, new_operand(*g.cg, M_SOFTREG)); },
         "put_amode, not handled softreg size=2\n"},
        {"no operand", [](Gen& g) { return g.entry(OP_ADD, 2); },
         "-INVALID MODE in:'put_amode 'ADDD' ':NULL pointer size=2\n"},
    });
}

TEST(OperandPrinter, SplitForms) {
    run_table({
        {"EOR local split", [](Gen& g) { return g.entry(OP_EOR, 2, g.loc(-4)); }, "\tEORB\t3,S\n\tEORA\t2,S\n"},
        {"AND global split", [](Gen& g) { return g.entry(OP_AND, 2, g.glob("m")); }, "\tANDB\t1+_m\n\tANDA\t_m\n"},
        {"OR X based split", [](Gen& g) { return g.entry(OP_OR, 2, g.indexed(M_XACK, 2)); }, "\tORA\t2,X\n\tORB\t3,X\n"},
        {"EOR immediate split", [](Gen& g) { return g.entry(OP_EOR, 2, operand_imm(*g.cg, 300)); },
         "\tEORB\t#(($12C)&$FF)\n\tEORA\t#((($12C)>>8)&$FF)\n"},
        {"EOR walk split", [](Gen& g) {
             Operand* d = g.indexed(M_PROC, 0, R_X);
             d->step = 1;
             return g.entry(OP_EOR, 2, d);
         }, "\tEORA\t,X+\n\tEORB\t,X+\n"},
        {"EOR walk back split", [](Gen& g) {
             Operand* d = g.indexed(M_PROC, 0, R_X);
             d->step = -1;
             return g.entry(OP_EOR, 2, d);
         }, "\tEORA\t,X\n\tEORB\t1,X\n\tLEAX\t-2,X\n"},
        {"AND #$00FF", [](Gen& g) { return g.entry(OP_AND, 2, operand_imm(*g.cg, 0xFF)); }, "\tCLRA\n"},
        {"AND #$FFFF", [](Gen& g) { return g.entry(OP_AND, 2, operand_imm(*g.cg, 0xFFFF)); }, ""},
        {"AND #$F00F", [](Gen& g) { return g.entry(OP_AND, 2, operand_imm(*g.cg, 0xF00F)); },
         "\tANDA\t#$F0\n\tANDB\t#$0F\n"},
        {"AND byte #0", [](Gen& g) { return g.entry(OP_AND, 1, operand_imm(*g.cg, 0)); }, "\tCLRB\n"},
        {"OR B #0", [](Gen& g) { return g.entry(OP_OR, 1, operand_imm(*g.cg, 0)); }, ""},
        {"OR #$0100", [](Gen& g) { return g.entry(OP_OR, 2, operand_imm(*g.cg, 0x100)); }, "\tORA\t#$01\n"},
        {"AND 32 bits", [](Gen& g) { return g.entry(OP_AND, 4, operand_imm(*g.cg, 0x00FF00FF)); },
         "\tEXG\tD,Y\n\tCLRA\n\tEXG\tD,Y\n\tCLRA\n"},
    });
}

TEST(OperandPrinter, StackOffsetsFollowPushes) {
    Gen g;
    g.cg->locals_size = 6;
    EXPECT_EQ(g.print(g.entry(OP_DEPTH, 2)), "");
    EXPECT_EQ(g.print(g.entry(OP_LOAD, R_D, g.loc(-4))), "\tLDD\t4,S\n");
    g.print(g.entry(OP_DEPTH, -2));
    EXPECT_EQ(g.print(g.entry(OP_LOAD, R_D, g.loc(-4))), "\tLDD\t2,S\n");
}

TEST(OperandPrinter, SymbolWithOffset) {
    Gen g;
    Operand* d = g.indexed(M_XACK, 0);
    Node& n = *g.tu->nodes.make();
    n.kind = NodeKind::NameAddr;
    n.name = "tab";
    d->value = &n;
    EXPECT_EQ(put_amode_line(*g.cg, d, -2), "_tab-2,X");
    EXPECT_EQ(put_amode_line(*g.cg, d, 3), "_tab+3,X");
    EXPECT_EQ(put_amode_line(*g.cg, g.glob("v"), 1), "1+_v");
}

TEST(OperandPrinter, LongWords) {
    Gen g;
    g.cg->locals_size = 8;
    put_amode_high(*g.cg, "LDY", g.loc(-8));
    put_amode_low(*g.cg, "LDD", g.loc(-8));
    EXPECT_EQ(g.take(), "\tLDY\t0,S\n\tLDD\t2,S\n");
    put_amode_high(*g.cg, "LDY", g.glob("l"));
    put_amode_low(*g.cg, "LDD", g.glob("l"));
    EXPECT_EQ(g.take(), "\tLDY\t_l\n\tLDD\t2+_l\n");
    put_amode_high(*g.cg, "LDY", operand_imm(*g.cg, 0x12345678));
    put_amode_low(*g.cg, "LDD", operand_imm(*g.cg, 0x12345678));
    EXPECT_EQ(g.take(), "\tLDY\t#0x1234\n\tLDD\t#0x5678\n");
    Operand* tos = new_operand(*g.cg, M_TOS);
    put_amode_high(*g.cg, "LDY", tos);
    put_amode_low(*g.cg, "LDD", tos);
    EXPECT_EQ(g.take(), "\tLDY\t,S\n\tLDD\t2,S\n");
    put_amode_high(*g.cg, "STY", g.indexed(M_XREG, 0));
    put_amode_low(*g.cg, "STD", g.indexed(M_XREG, 0));
    EXPECT_EQ(g.take(), "\tSTY\t0,X\n\tSTD\t2,X\n");
    Operand* walk = g.indexed(M_PROC, 0, R_Y);
    walk->step = -1;
    put_amode_high(*g.cg, "LDX", walk);
    EXPECT_EQ(g.take(), "\tLDX\t0,Y\n\tLEAY\t-2,Y\n");
    put_amode_low(*g.cg, "LDD", new_operand(*g.cg, M_SOFTREG));
    EXPECT_EQ(g.take(), "put_amode_low, not handled softreg size=4\n");
}

TEST(OperandPrinter, AddressComputations) {
    run_table({
        {"X based into D", [](Gen& g) { return g.entry(OP_LEA, R_D, g.indexed(M_XACK, 4)); }, "\tTFR\tX,D\n\tADDD\t#4\n"},
        {"X based into U", [](Gen& g) { return g.entry(OP_LEA, R_U, g.indexed(M_XACK, 0)); }, "\tTFR\tX,U\n"},
        {"X based into Y", [](Gen& g) { return g.entry(OP_LEA, R_Y, g.indexed(M_XACK, -3)); }, "\tLEAY\t-3,X\n"},
        {"X based into X", [](Gen& g) { return g.entry(OP_LEA, R_X, g.indexed(M_XACK, 7)); }, "\tLEAX\t7,X\n"},
        {"X indirect into D", [](Gen& g) { return g.entry(OP_LEA, R_D, g.indexed(M_IXACK, 2)); }, " ldd 2,x\n"},
        {"X indirect into X", [](Gen& g) { return g.entry(OP_LEA, R_X, g.indexed(M_IXACK, 0)); }, " ldx 0,x\n"},
        {"Y based into X", [](Gen& g) { return g.entry(OP_LEA, R_X, g.indexed(M_YACK, 0)); }, " tfr y,x\n"},
        {"Y based into D", [](Gen& g) { return g.entry(OP_LEA, R_D, g.indexed(M_YACK, 2)); }, " tfr y,d\n addd #2\n"},
        {"local into X", [](Gen& g) { return g.entry(OP_LEA, R_X, g.loc(-6)); }, "\tLEAX\t0,S\n"},
        {"local into U", [](Gen& g) { return g.entry(OP_LEA, R_U, g.loc(-2)); }, "\tLEAU\t4,S\n"},
        {"local into D", [](Gen& g) { return g.entry(OP_LEA, R_D, g.loc(-2)); }, "\tTFR\tS,D\n\tADDD\t#4\n"},
        {"global into X", [](Gen& g) { return g.entry(OP_LEA, R_X, g.glob("buf")); }, "\tLDX\t#_buf\n"},
        {"global into D", [](Gen& g) { return g.entry(OP_LEA, R_D, g.glob("buf")); }, " ldd #_buf\n"},
        {"constant into U", [](Gen& g) { return g.entry(OP_LEA, R_U, operand_imm(*g.cg, 0xE029)); }, "\tLDU\t#$E029\n"},
        {"[local] into Y", [](Gen& g) {
             Operand* d = g.loc(-2);
             d->mode = M_LOCIND;
             return g.entry(OP_LEA, R_Y, d);
         }, "\tLDY\t4,S\n"},
        {"[global] into X", [](Gen& g) {
             Operand* d = g.glob("p");
             d->mode = M_GLOBIND;
             return g.entry(OP_LEA, R_X, d);
         }, "\tLDX\t_p\n"},
        {"D+X", [](Gen& g) { return g.entry(OP_LEA, R_X, g.indexed(M_ADXACK, 0)); }, "\tLEAX\tD,X\n"},
        {"D,X", [](Gen& g) { return g.entry(OP_LEA, R_X, g.indexed(M_DXACK, 0)); }, "\tLDX\tD,X\n"},
        {"[D,X]", [](Gen& g) { return g.entry(OP_LEA, R_X, g.indexed(M_IDXACK, 0)); }, "\tLDX\t[D,X]\n"},
        {"stack top into D", [](Gen& g) { return g.entry(OP_LEA, R_D, new_operand(*g.cg, M_TOS)); }, "\tTFR\tS,D\n"},
        {"stack top into X", [](Gen& g) { return g.entry(OP_LEA, R_X, new_operand(*g.cg, M_TOS)); }, " tfr s,x\n"},
        {"stack top into U", [](Gen& g) { return g.entry(OP_LEA, R_U, new_operand(*g.cg, M_TOS)); }, "INVALID LEA TOS\n"},
        {"no operand", [](Gen& g) { return g.entry(OP_LEA, R_X); }, "\tNO MODE for LEA\n"},
        {"D+X into D", [](Gen& g) { return g.entry(OP_LEA, R_D, g.indexed(M_ADXACK, 0)); },
         "-INVALID MODE in:'put_lea/adxack':Non recognized mode = 16, size=2\n"},
    });
}

TEST(InstructionPrinter, Opcodes) {
    run_table({
        {"MUL", [](Gen& g) { return g.entry(OP_MUL); }, "\tMUL\n"},
        {"exg D,X", [](Gen& g) { return g.entry(OP_EXG_DX); }, " exg D,X\n"},
        {"TFR X,D", [](Gen& g) { return g.entry(OP_TFR, P_XD); }, "\tTFR\tX,D\n"},
        {"TFR D,X", [](Gen& g) { return g.entry(OP_TFR, P_DX); }, "\tTFR\tD,X\n"},
        {"TFR A,B", [](Gen& g) { return g.entry(OP_TFR, P_AB); }, "\tTFR\tA,B\n"},
        {"TFR B,A", [](Gen& g) { return g.entry(OP_TFR, P_BA); }, "\tTFR\tB,A\n"},
        {"TFR X,Y", [](Gen& g) { return g.entry(OP_TFR, P_XY); }, "\tTFR\tX,Y\n"},
        {"TFR D,Y", [](Gen& g) { return g.entry(OP_TFR, P_DY); }, "\tTFR\tD,Y\n"},
        {"TFR Y,D", [](Gen& g) { return g.entry(OP_TFR, P_YD); }, "\tTFR\tY,D\n"},
        {"TFR X,B is not a pair", [](Gen& g) { return g.entry(OP_TFR, P_XB); }, "\tTFR\tX,D\n"},
        {"TFR unknown", [](Gen& g) { return g.entry(OP_TFR, 5); }, "dispatch 'tfr'\n"},
        {"EXG A,B", [](Gen& g) { return g.entry(OP_EXG, P_AB); }, "\tEXG\tA,B\n"},
        {"EXG X,B is not a pair", [](Gen& g) { return g.entry(OP_EXG, P_XB); }, "\tEXG\tX,D\n"},
        {"EXG unknown", [](Gen& g) { return g.entry(OP_EXG, 0); }, "dispatch 'exg'\n"},
        {"EXG D,Y", [](Gen& g) { return g.entry(OP_EXG_DY); }, "\tEXG\tD,Y\n"},
        {"EXG X,Y", [](Gen& g) { return g.entry(OP_EXG_XY); }, "\tEXG\tX,Y\n"},
        {"EXG D,U", [](Gen& g) { return g.entry(OP_EXG_DU); }, "\tEXG\tD,U\n"},
        {"CMPX", [](Gen& g) { return g.entry(OP_CMPX, 2, operand_imm(*g.cg, 0)); }, "\tCMPX\t#0\n"},
        {"CMP 16", [](Gen& g) { return g.entry(OP_CMP2, 2, g.loc(-2)); }, "\tCMPD\t4,S\n"},
        {"SEX", [](Gen& g) { return g.entry(OP_SEX, 8); }, "\tSEX\n"},
        {"sign into Y", [](Gen& g) {
             g.tu->next_label = 40;
             return g.entry(OP_SEX, 7);
         }, "\tLDY\t#0\n\tBITA\t#$80\n\tBEQ\t_40\n\tLEAY\t-1,Y\n_40:\n"},
        {"SEX unknown", [](Gen& g) { return g.entry(OP_SEX, 1); }, "dispatch 'sex'\n"},
        {"NEG 8", [](Gen& g) { return g.entry(OP_NEG, 1, acc(g, R_B)); }, "\tNEGB\n"},
        {"NEG 16", [](Gen& g) { return g.entry(OP_NEG, 2, acc(g, R_D)); }, "\tNEGA\n\tNEGB\n\tSBCA\t#0\n"},
        {"NEG 32", [](Gen& g) { return g.entry(OP_NEG, 4, new_operand(*g.cg, M_DACK)); },
         "\tEXG\tY,D\n\tCOMA\n\tCOMB\n\tEXG\tY,D\n\tCOMA\n\tCOMB\n\tADDD\t#1\n\tBCC\t.+4\n\tLEAY\t1,Y\n"},
        {"COM 8", [](Gen& g) { return g.entry(OP_COM, 1); }, "\tCOMB\n"},
        {"COM 16", [](Gen& g) { return g.entry(OP_COM, 2); }, "\tCOMA\n\tCOMB\n"},
        {"COM 32", [](Gen& g) { return g.entry(OP_COM, 4); }, "\tEXG\tD,Y\n\tCOMA\n\tCOMB\n\tEXG\tD,Y\n\tCOMA\n\tCOMB\n"},
        {"CLR D:Y", [](Gen& g) { return g.entry(OP_CLR, 4, new_operand(*g.cg, M_DACK)); }, "\tCLRB\n\tCLRA\n\tLDY\t#0\n"},
        {"CLR X", [](Gen& g) { return g.entry(OP_CLR, 2, g.indexed(M_XREG, 0)); }, "\tLDX\t#0\n"},
        {"CLR D", [](Gen& g) { return g.entry(OP_CLR, 2, acc(g, R_D)); }, "\tCLRB\n\tCLRA\n"},
        {"CLR B", [](Gen& g) { return g.entry(OP_CLR, 1, acc(g, R_B)); }, "\tCLRB\n"},
        {"CLR byte in memory", [](Gen& g) { return g.entry(OP_CLR, 1, g.glob("c")); }, "\tCLR\t_c\n"},
        {"CLR word in memory", [](Gen& g) { return g.entry(OP_CLR, 2, g.loc(-2)); }, "\tCLR\t4,S\n\tCLR\t5,S\n"},
        {"CLR nothing", [](Gen& g) { return g.entry(OP_CLR, 2); }, "-CGERR op_clr\n"},
        {"frame entry", [](Gen& g) { return g.entry(OP_ENTER, 6); }, "\tLEAS\t-6,S\n"},
        {"empty frame entry", [](Gen& g) { return g.entry(OP_ENTER2, 0); }, ""},
        {"frame exit", [](Gen& g) { return g.entry(OP_EXIT, 6); }, "\tLEAS\t6,S\n"},
        {"empty frame exit", [](Gen& g) { return g.entry(OP_EXIT2, 0); }, ""},
        {"NOP", [](Gen& g) { return g.entry(OP_NOP); }, "\tNOP\n"},
        {"INC memory", [](Gen& g) { return g.entry(OP_INC, 1, g.loc(-1)); }, "\tINC\t5,S\n"},
        {"DEC B", [](Gen& g) { return g.entry(OP_DEC, 1, acc(g, R_B)); }, "\tDECB\n"},
        {"push X", [](Gen& g) { return g.entry(OP_PUSH, 2, g.indexed(M_XREG, 0)); }, "\tPSHS\tX\n"},
        {"push B", [](Gen& g) { return g.entry(OP_PUSH, 1, acc(g, R_B)); }, "\tPSHS\tB\n"},
        {"push D", [](Gen& g) { return g.entry(OP_PUSH2, 2, acc(g, R_D)); }, "\tPSHS\tD\n"},
        {"LEAS", [](Gen& g) { return g.entry(OP_LEAS, -3); }, "\tLEAS\t-3,S\n"},
        {"long move forward", [](Gen& g) {
             Operand* u = g.indexed(M_PROC, 0, R_U);
             Operand* x = g.indexed(M_PROC, 0, R_X);
             u->step = x->step = 1;
             return g.entry(OP_MOVELONG, 4, u, x);
         }, "\tLDD\t,U++\n\tSTD\t,X++\n\tLDD\t,U++\n\tSTD\t,X++\n"},
        {"long move backward", [](Gen& g) {
             Operand* u = g.indexed(M_PROC, 0, R_U);
             Operand* x = g.indexed(M_PROC, 0, R_X);
             u->step = x->step = -1;
             return g.entry(OP_MOVELONG, 4, u, x);
         }, "\tLDD\t,U\n\tSTD\t,X\n\tLDD\t2,U\n\tSTD\t2,X\n\tLEAU\t-4,U\n\tLEAX\t-4,X\n"},
        {"long move curious", [](Gen& g) {
             return g.entry(OP_MOVELONG, 4, g.indexed(M_PROC, 0, R_U), g.indexed(M_PROC, 0, R_X));
         }, "-- curious move long combination\n"},
        {"pointer step X", [](Gen& g) { return g.entry(OP_ADJX, 0, operand_imm(*g.cg, -2)); }, "\tLEAX\t-2,X\n"},
        {"pointer step Y", [](Gen& g) { return g.entry(OP_ADJY, 0, operand_imm(*g.cg, 4)); }, "\tLEAY\t4,Y\n"},
        {"LEAX constant", [](Gen& g) { return g.entry(OP_LEAXC, 0, operand_imm(*g.cg, 1)); }, "\tLEAX\t1,X\n"},
        {"CLRA", [](Gen& g) { return g.entry(OP_CLRA); }, "\tCLRA\n"},
        {"reverse subtract 8", [](Gen& g) { return g.entry(OP_RSUB, 1); }, "\tPSHS\tB\n\tSUBA\t,S+\n"},
        {"reverse subtract 16", [](Gen& g) { return g.entry(OP_RSUB, 2); }, "\tSUBD\t,S++\n"},
        {"INCB", [](Gen& g) { return g.entry(OP_INCB); }, "\tINCB\n"},
        {"push U", [](Gen& g) { return g.entry(OP_PUSHREG, R_U); }, "\tPSHS\tU\n"},
        {"push A", [](Gen& g) { return g.entry(OP_PUSHREG, R_A); }, "\tPSHS\tA\n"},
        {"push bad", [](Gen& g) { return g.entry(OP_PUSHREG, 7); }, "-CGERR op_pushreg\n"},
        {"pull Y", [](Gen& g) { return g.entry(OP_PULLREG, R_Y); }, "\tPULS\tY\n"},
        {"pull bad", [](Gen& g) { return g.entry(OP_PULLREG, 0); }, "-CGERR op_pullreg\n"},
        {"push D:Y", [](Gen& g) { return g.entry(OP_PUSHDY); }, "\tPSHS\tD\n\tPSHS\tY\n"},
        {"compare 32 immediate", [](Gen& g) { return g.entry(OP_CMP32IMM, 4, operand_imm(*g.cg, 0x12345678)); },
         "\tCMPD\t#$5678\n\tBNE\t.+6\n\tCMPY\t#$1234\n"},
        {"BITB", [](Gen& g) { return g.entry(OP_BITB, 1, operand_imm(*g.cg, 8)); }, "\tBITB\t#8\n"},
        {"EORA immediate", [](Gen& g) { return g.entry(OP_EORAIMM, 1, operand_imm(*g.cg, 128)); }, "\tEORA\t#$80\n"},
        {"EOR bytes", [](Gen& g) { return g.entry(OP_EOR2, 2, g.loc(-2)); }, "\tEORB\t5,S\n\tEORA\t4,S\n"},
        {"OR bytes", [](Gen& g) { return g.entry(OP_OR2BYTES, 2, g.indexed(M_XACK, 0)); }, "\tORA\t0,X\n\tORB\t1,X\n"},
        {"add 32 immediate", [](Gen& g) { return g.entry(OP_ADD32IMM, 4, operand_imm(*g.cg, 0x20003)); },
         "\tADDD\t#0x0003\n\tBCC\t.+4\n\tLEAY\t1,Y\n\tLEAY\t0x0002,Y\n"},
        {"subtract 32 immediate", [](Gen& g) { return g.entry(OP_SUB32IMM, 4, operand_imm(*g.cg, 5)); },
         "\tSUBD\t#0x0005\n\tBCC\t.+4\n\tLEAY\t-1,Y\n"},
        {"LEAX 1", [](Gen& g) { return g.entry(OP_INCX); }, "\tLEAX\t1,X\n"},
        {"LEAX -1", [](Gen& g) { return g.entry(OP_DECX); }, "\tLEAX\t-1,X\n"},
        {"LEAY 1", [](Gen& g) { return g.entry(OP_INCY); }, "\tLEAY\t1,Y\n"},
        {"LEAY -1", [](Gen& g) { return g.entry(OP_DECY); }, "\tLEAY\t-1,Y\n"},
        {"unknown", [](Gen& g) { return g.entry(4242); }, "-- UNKNOWN PUTOP (4242)\n"},
        {"RTS", [](Gen& g) { return g.entry(OP_RTS); }, "\tRTS\n"},
        {"RTI", [](Gen& g) { return g.entry(OP_RTI); }, "\tRTI\n"},
        {"label", [](Gen& g) {
             Insn* e = g.entry(OP_LABEL);
             e->label = 7;
             return e;
         }, "_7:\n"},
    });
}

TEST(InstructionPrinter, Branches) {
    const std::pair<int, const char*> table[] = {
        {OP_BRA, "BRA"},   {OP_BEQ, "BEQ"},   {OP_BNE, "BNE"},   {OP_BLT, "BLT"},   {OP_BLE, "BLE"},
        {OP_BGT, "BGT"},   {OP_BGE, "BGE"},   {OP_BHI, "BHI"},   {OP_BCC, "BCC"},   {OP_BCS, "BCS"},
        {OP_BLS, "BLS"},   {OP_LBRA, "LBRA"}, {OP_LBEQ, "LBEQ"}, {OP_LBNE, "LBNE"}, {OP_LBLT, "LBLT"},
        {OP_LBLE, "LBLE"}, {OP_LBGT, "LBGT"}, {OP_LBGE, "LBGE"}, {OP_LBHI, "LBHI"}, {OP_LBCC, "LBCC"},
        {OP_LBCS, "LBCS"}, {OP_LBLS, "LBLS"},
    };
    for (const auto& [op, name] : table) {
        Gen g;
        Insn* e = g.entry(op);
        e->label = 12;
        EXPECT_EQ(g.print(e), std::string("\t") + name + "\t_12\n") << name;
    }
}

TEST(InstructionPrinter, LoadsAndStores) {
    run_table({
        {"load B", [](Gen& g) { return g.entry(OP_LOAD, R_B, g.loc(-1)); }, "\tLDB\t5,S\n"},
        {"load D", [](Gen& g) { return g.entry(OP_LOAD, R_D, g.glob("n")); }, "\tLDD\t_n\n"},
        {"load X", [](Gen& g) { return g.entry(OP_LOAD, R_X, g.loc(2)); }, "\tLDX\t8,S\n"},
        {"load U", [](Gen& g) { return g.entry(OP_LOAD, R_U, operand_imm(*g.cg, 1)); }, "\tLDU\t#1\n"},
        {"load Y", [](Gen& g) { return g.entry(OP_LOAD, R_Y, g.indexed(M_XACK, 2)); }, "\tLDY\t2,X\n"},
        {"load A", [](Gen& g) { return g.entry(OP_LOAD, R_A, g.loc(-2)); }, "\tLDA\t4,S\n"},
        {"load B zero", [](Gen& g) { return g.entry(OP_LOAD, R_B, operand_imm(*g.cg, 0)); }, "\tCLRB\n"},
        {"load D zero", [](Gen& g) { return g.entry(OP_LOAD, R_D, operand_imm(*g.cg, 0)); }, "\tCLRA\n\tCLRB\n"},
        {"load A zero", [](Gen& g) { return g.entry(OP_LOAD, R_A, operand_imm(*g.cg, 0)); }, "\tCLRA\n"},
        {"load X zero", [](Gen& g) { return g.entry(OP_LOAD, R_X, operand_imm(*g.cg, 0)); }, "\tLDX\t#0\n"},
        {"X into D", [](Gen& g) { return g.entry(OP_LOAD, R_D, g.indexed(M_XREG, 0)); }, "\tTFR\tX,D\n"},
        {"address of local", [](Gen& g) {
             Operand* d = g.loc(-4);
             d->mode = M_ADRLOC;
             return g.entry(OP_LOAD, R_X, d);
         }, "\tLEAX\t2,S\n"},
        {"no operand", [](Gen& g) { return g.entry(OP_LOAD, R_B); }, "\n---> CODEGEN: put_load\n"},
        {"store B", [](Gen& g) { return g.entry(OP_STORE, R_B, g.glob("c")); }, "\tSTB\t_c\n"},
        {"store D", [](Gen& g) { return g.entry(OP_STORE, R_D, g.loc(-6)); }, "\tSTD\t0,S\n"},
        {"store X", [](Gen& g) { return g.entry(OP_STORE, R_X, g.loc(-2)); }, "\tSTX\t4,S\n"},
        {"store U", [](Gen& g) { return g.entry(OP_STORE, R_U, g.indexed(M_XACK, 0)); }, "\tSTU\t0,X\n"},
        {"store Y", [](Gen& g) { return g.entry(OP_STORE, R_Y, g.glob("y")); }, "\tSTY\t_y\n"},
        {"store A", [](Gen& g) { return g.entry(OP_STORE, R_A, g.loc(-1)); }, "\tSTA\t5,S\n"},
        {"store to constant address", [](Gen& g) { return g.entry(OP_STORE, R_B, operand_imm(*g.cg, 0xE029)); },
         "\tSTB\t$E029\n"},
        {"low word", [](Gen& g) { return g.entry(OP_LOADLOW, R_D, g.loc(-4)); }, "\tLDD\t4,S\n"},
        {"low word zero", [](Gen& g) { return g.entry(OP_LOADLOW, R_D, operand_imm(*g.cg, 0x10000)); }, "\tCLRA\n\tCLRB\n"},
        {"high word", [](Gen& g) { return g.entry(OP_LOADHIGH, R_Y, g.loc(-4)); }, "\tLDY\t2,S\n"},
        {"store high", [](Gen& g) { return g.entry(OP_STOREHIGH, R_Y, g.glob("l")); }, "\tSTY\t_l\n"},
        {"store low", [](Gen& g) { return g.entry(OP_STORELOW, R_D, g.glob("l")); }, "\tSTD\t2+_l\n"},
    });
}

TEST(InstructionPrinter, Calls) {
    run_table({
        {"by name", [](Gen& g) {
             Operand* d = new_operand(*g.cg, M_IMM);
             Node& n = *g.tu->nodes.make();
             n.kind = NodeKind::NameAddr;
             n.name = ".mulu16";
             d->value = &n;
             return g.entry(OP_JSR, 0, d);
         }, "\tJSR\tmulu16\n"},
        {"through X", [](Gen& g) { return g.entry(OP_JSR, 0, g.indexed(M_XREG, 0)); }, "\tJSR\t0,X\n"},
        {"stored at X", [](Gen& g) { return g.entry(OP_JSR, 0, g.indexed(M_XACK, 2)); }, "\tJSR\t[2,X]\n"},
        {"stored in a global", [](Gen& g) { return g.entry(OP_JSR, 0, g.glob("fp")); }, "\tJSR\t[_fp,PCR]\n"},
        {"stored in a local", [](Gen& g) { return g.entry(OP_JSR, 0, g.loc(-2)); }, "\tJSR\t[4,S]\n"},
        {"D,X", [](Gen& g) { return g.entry(OP_JSR, 0, g.indexed(M_ADXACK, 0)); }, "\tJSR\tD,X\n"},
        {"[D,X]", [](Gen& g) { return g.entry(OP_JSR, 0, g.indexed(M_DXACK, 0)); }, "\tJSR\t[D,X]\n"},
        {"bad", [](Gen& g) { return g.entry(OP_JSR, 0, new_operand(*g.cg, M_TOS)); }, "-CGERR op_jsr\n"},
    });
}

TEST(InstructionPrinter, Tests) {
    run_table({
        {"TSTB", [](Gen& g) { return g.entry(OP_TST, 1, acc(g, R_B)); }, "\tTSTB\n"},
        {"TST memory", [](Gen& g) { return g.entry(OP_TST, 1, g.loc(-1)); }, "\tTST\t5,S\n"},
        {"D", [](Gen& g) { return g.entry(OP_TST, 2, acc(g, R_D)); }, "\tCMPD\t#0\n"},
        {"X", [](Gen& g) { return g.entry(OP_TST, 2, g.indexed(M_XREG, 0)); }, "\tCMPX\t#0\n"},
        {"Y", [](Gen& g) { return g.entry(OP_TST, 2, g.indexed(M_YACK, 0, R_Y)); }, "\tCMPY\t#0\n"},
        {"D:Y", [](Gen& g) { return g.entry(OP_TST, 4, new_operand(*g.cg, M_DACK)); },
         "\tCMPY\t#0\n\tBNE\t.+10\n\tCMPD\t#0\n\tBEQ\t.+4\n\tANDCC\t#%11110111\n"},
        {"word in memory", [](Gen& g) { return g.entry(OP_TST, 2, g.loc(-2)); }, "--put_tst\n"},
    });
}

TEST(InstructionPrinter, Shifts) {
    run_table({
        {"B left 2", [](Gen& g) { return g.entry(OP_ASL, 1, operand_imm(*g.cg, 2), acc(g, R_B)); }, " ASLB\n ASLB\n"},
        {"B arithmetic right", [](Gen& g) { return g.entry(OP_ASR, 1, operand_imm(*g.cg, 1), acc(g, R_B)); }, " ASRB\n"},
        {"D left", [](Gen& g) { return g.entry(OP_ASL, 2, operand_imm(*g.cg, 1), acc(g, R_D)); }, "\tLSLB\n\tROLA\n"},
        {"D logical right", [](Gen& g) { return g.entry(OP_LSR, 2, operand_imm(*g.cg, 1), acc(g, R_D)); }, "\tLSRA\n\tRORB\n"},
        {"D arithmetic right 2", [](Gen& g) { return g.entry(OP_ASR, 2, operand_imm(*g.cg, 2), acc(g, R_D)); },
         "\tASRA\n\tRORB\n\tASRA\n\tRORB\n"},
        {"D by 0", [](Gen& g) { return g.entry(OP_ASL, 2, operand_imm(*g.cg, 0), acc(g, R_D)); }, ""},
        {"word in memory right", [](Gen& g) { return g.entry(OP_LSR, 2, operand_imm(*g.cg, 1), g.loc(-2)); },
         "\tLSR\t4,S\n\tROR\t5,S\n"},
        {"word at X left", [](Gen& g) { return g.entry(OP_ASL, 2, operand_imm(*g.cg, 1), g.indexed(M_XACK, 0)); },
         "\tASL\t1,X\n\tROL\t0,X\n"},
        {"B by A", [](Gen& g) {
             g.tu->next_label = 5;
             return g.entry(OP_LSR, 1, acc(g, R_A), acc(g, R_B));
         }, "\tANDA\t#7\n_5:\n\tBEQ\t_6\n LSRB\n\tDECA\n\tBRA\t_5\n_6:\n"},
        {"D by X", [](Gen& g) {
             g.tu->next_label = 5;
             return g.entry(OP_ASL, 2, g.indexed(M_XREG, 0), acc(g, R_D));
         }, "_5:\n\tCMPX\t#0\n\tBEQ\t_6\n\tCMPD\t#0\n\tBEQ\t_6\n\tLEAX\t-1,X\n\tLSLB\n\tROLA\n\tBRA\t_5\n_6:\n"},
        {"no count", [](Gen& g) { return g.entry(OP_ASL, 2); }, "\n---> CODEGEN: put_shift8\n"},
        {"memory byte at X by 3", [](Gen& g) {
             return g.entry(OP_SHIFTMEM8, OP_ASL, operand_imm(*g.cg, 3), g.indexed(M_XACK, 1));
         }, "\tASL\t1,X\n\tASL\t1,X\n\tASL\t1,X\n"},
        {"memory byte at X by B", [](Gen& g) {
             g.tu->next_label = 9;
             return g.entry(OP_SHIFTMEM8, OP_LSR, acc(g, R_B), g.indexed(M_XACK, 0));
         }, "\tANDB\t#7\n_9:\n\tBEQ\t_10\n\tLSR\t0,X\n\tDECB\n\tBRA\t_9\n_10:\n"},
        {"local byte by 2", [](Gen& g) {
             return g.entry(OP_SHIFTMEM8, OP_ASR, operand_imm(*g.cg, 2), g.loc(-1));
         }, "\tASR\t5,S\n\tASR\t5,S\n"},
        {"local byte by B", [](Gen& g) {
             g.tu->next_label = 3;
             return g.entry(OP_SHIFTMEM8, OP_ASL, acc(g, R_B), g.loc(-1));
         }, " tfr b,a\n\tLDB\t5,S\n\tANDA\t#7\n_3:\n\tBEQ\t_4\n ASLB\n\tDECA\n\tBRA\t_3\n_4:\n\tSTB\t5,S\n"},
    });
}

TEST(InstructionPrinter, BlockMoves) {
    run_table({
        {"4 bytes", [](Gen& g) { return g.entry(OP_BLOCKMOVE, 4); }, "\tLDD\t0,U\n\tSTD\t0,X\n\tLDD\t2,U\n\tSTD\t2,X\n"},
        {"3 bytes", [](Gen& g) { return g.entry(OP_BLOCKMOVE, 3); }, "\tLDD\t0,U\n\tSTD\t0,X\n\tLDB\t2,U\n\tSTB\t2,X\n"},
        {"7 bytes", [](Gen& g) {
             g.tu->next_label = 2;
             return g.entry(OP_BLOCKMOVE, 7);
         }, "\tLDA\t#7\n_2:\n\tLDB\t,U+\n\tSTB\t,X+\n\tDECA\n\tBNE\t_2\n"},
        {"300 bytes", [](Gen& g) {
             g.tu->next_label = 2;
             return g.entry(OP_BLOCKMOVE, 300);
         }, "\tLDY\t#150\n_2:\n\tLDD\t,U++\n\tSTD\t,X++\n\tLEAY\t-1,Y\n\tBNE\t_2\n"},
        {"301 bytes", [](Gen& g) {
             g.tu->next_label = 2;
             return g.entry(OP_BLOCKMOVE, 301);
         }, "\tLDY\t#150\n_2:\n\tLDD\t,U++\n\tSTD\t,X++\n\tLEAY\t-1,Y\n\tBNE\t_2\n\tLDB\t,U\n\tSTB\t,X\n"},
        // n bytes at offsets n-1 .. 0, no more
        {"argument of 5 bytes", [](Gen& g) {
             g.tu->next_label = 2;
             return g.entry(OP_ARGCOPY, 5);
         }, "\tLDA\t#4\n_2:\n\tLDB\tA,X\n\tSTB\tA,S\n\tDECA\n\tBNE\t_2\n\tLDB\t,X\n\tSTB\t,S\n"},
        {"argument of 1 byte", [](Gen& g) { return g.entry(OP_ARGCOPY, 1); }, "\tLDB\t,X\n\tSTB\t,S\n"},
        {"argument of 128 bytes", [](Gen& g) {
             g.tu->next_label = 2;
             return g.entry(OP_ARGCOPY, 128);
         }, "\tLDA\t#127\n_2:\n\tLDB\tA,X\n\tSTB\tA,S\n\tDECA\n\tBNE\t_2\n\tLDB\t,X\n\tSTB\t,S\n"},
        {"argument of 200 bytes", [](Gen& g) {
             g.tu->next_label = 2;
             return g.entry(OP_ARGCOPY, 200);
         }, "\tPSHS\tU,Y\n\tLEAU\t4,S\n\tLDY\t#200\n_2:\n\tLDB\t,X+\n\tSTB\t,U+\n\tLEAY\t-1,Y\n\tBNE\t_2\n\tPULS\tU,Y\n"},
    });
}

TEST(InstructionPrinter, FaultDump) {
    Gen g;
    Insn* e = g.entry(OP_FAULT, 2, g.loc(-2));
    e->fault = 4002;
    EXPECT_EQ(g.print(e), "\n-- OP_ERROR\n; 'g_deref'\n;No statement information\n\n; Address mode information: loc size=2\n");
    Insn* u = g.entry(OP_FAULT, 0);
    u->fault = 9006;
    EXPECT_EQ(g.print(u), "\n-- OP_ERROR\n; error num: 9006\n;No statement information\n\n;No address mode information\n");
}

}  // namespace
}  // namespace zun::tcx::test
