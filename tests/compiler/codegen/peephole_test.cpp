// Branch ranges, byte-pair merging, branch and label clean-ups and dead
// code removal over hand-built instruction lists.
#include "tests/compiler/codegen/harness.h"
#include "tests/compiler/harness.h"

#include <gtest/gtest.h>

namespace zun::tcx::test {
namespace {

Options with(std::vector<std::string> args) {
    args.push_back("t.c");
    return parse_options(args);
}

Insn* branch(Gen& g, int op, int label) { return emit_branch(*g.cg, op, label); }

void nops(Gen& g, int n) {
    for (int i = 0; i < n; ++i) emit(*g.cg, OP_NOP);
}

std::string printed(Gen& g) {
    improve_and_print(*g.cg);
    return g.take();
}

TEST(Peephole, InvertsConditionOverBra) {
    Gen g(with({"-Op"}));
    branch(g, OP_BEQ, 1);
    branch(g, OP_BRA, 2);
    emit_label(*g.cg, 1);
    emit(*g.cg, OP_NOP);
    emit_label(*g.cg, 2);
    emit(*g.cg, OP_RTS);
    EXPECT_EQ(printed(g), "\tBNE\t_2\n\tNOP\n_2:\n\tRTS\n");
}

TEST(Peephole, BleIsNotInverted) {
    Gen g(with({"-Op"}));
    branch(g, OP_BLE, 1);
    branch(g, OP_BRA, 2);
    emit_label(*g.cg, 1);
    emit(*g.cg, OP_NOP);
    emit_label(*g.cg, 2);
    EXPECT_EQ(printed(g), "\tBLE\t_1\n\tBRA\t_2\n_1:\n\tNOP\n_2:\n");
}

TEST(Peephole, BraToNextLabelGoes) {
    Gen g(with({"-Op"}));
    emit(*g.cg, OP_NOP);
    branch(g, OP_BRA, 1);
    emit_label(*g.cg, 1);
    emit(*g.cg, OP_RTS);
    EXPECT_EQ(printed(g), "\tNOP\n\tRTS\n");
}

TEST(Peephole, LabelStaysWhileReferred) {
    Gen g(with({"-Op"}));
    emit_label(*g.cg, 1);
    emit(*g.cg, OP_NOP);
    branch(g, OP_BNE, 1);
    emit_label(*g.cg, 2);
    emit(*g.cg, OP_RTS);
    EXPECT_EQ(printed(g), "_1:\n\tNOP\n\tBNE\t_1\n\tRTS\n");
}

TEST(Peephole, AdjacentLabelsMerge) {
    Gen g(with({"-Op"}));
    branch(g, OP_BEQ, 2);
    emit(*g.cg, OP_NOP);
    emit_label(*g.cg, 1);
    emit_label(*g.cg, 2);
    emit(*g.cg, OP_RTS);
    g.cg->tables.push_back({9, {2, 1}});
    EXPECT_EQ(printed(g), "\tBEQ\t_1\n\tNOP\n_1:\n\tRTS\n\tSEGMENT\trodata\n_9:\n\tFDB\t_1,_1\n");
}

TEST(Peephole, WithoutOpNothingChanges) {
    Gen g;
    branch(g, OP_BRA, 1);
    emit_label(*g.cg, 1);
    EXPECT_EQ(printed(g), "\tBRA\t_1\n_1:\n");
}

TEST(Peephole, DeadCodeAfterRts) {
    Gen g(with({"-Op", "-Ordc"}));
    g.cg->stmt_pos.start.line = 3;
    branch(g, OP_BEQ, 4);
    emit(*g.cg, OP_RTS);
    emit(*g.cg, OP_NOP);
    emit(*g.cg, OP_NOP);
    emit_label(*g.cg, 4);
    emit(*g.cg, OP_RTS);
    EXPECT_EQ(printed(g), "\tBEQ\t_4\n\tRTS\n_4:\n\tRTS\n");
    EXPECT_NE(g.tu->err.find("Removed dead code"), std::string::npos) << g.tu->err;
}

TEST(Peephole, DeadCodeKeepsReturnWithDebug) {
    Gen g(with({"-Op", "-Ordc", "-g"}));
    branch(g, OP_BRA, 1);
    emit(*g.cg, OP_NOP);
    emit(*g.cg, OP_EXIT, 4);
    emit(*g.cg, OP_RTS);
    emit_label(*g.cg, 1);
    EXPECT_EQ(printed(g), "\tBRA\t_1\n\tLEAS\t4,S\n\tRTS\n_1:\n");
}

TEST(Peephole, DeadCodeLeavesDebugEntries) {
    Gen g(with({"-Op", "-Ordc", "-g"}));
    branch(g, OP_BRA, 1);
    g.cg->stmt_pos.start = {3, 4};
    debug_statement(*g.cg, g.cg->stmt_pos);
    emit(*g.cg, OP_NOP);
    emit_label(*g.cg, 1);
    emit(*g.cg, OP_RTS);
    EXPECT_EQ(printed(g), ".stab stmt 3,4\n\tRTS\n");
}

TEST(Peephole, WalkingPointerMovesOnlyWhileTheRegisterHoldsIt) {
    // _1: LDX p / LDB ,X+ / STX p / [LDX #_q / STX p] / TSTB / BEQ _2 / BRA _1 / _2: RTS
    for (bool reset : {false, true}) {
        Gen g(with({"-Op"}));
        FunctionDef fn;
        Type ptr;
        ptr.kind = Kind::Pointer;
        ptr.size = 2;
        Symbol p;
        p.value = 2;
        p.type = &ptr;
        fn.other_candidates.push_back(&p);
        g.cg->fn = &fn;
        Operand* walk = g.indexed(M_PROC, 0);
        walk->step = 1;
        walk->origin = g.loc(2);
        emit_label(*g.cg, 1);
        emit(*g.cg, OP_LOAD, R_X, g.loc(2));
        emit(*g.cg, OP_LOAD, R_B, walk);
        emit(*g.cg, OP_STORE, R_X, g.loc(2));
        if (reset) {
            Operand* q = new_operand(*g.cg, M_IMM);
            q->value = g.glob("q")->value;
            emit(*g.cg, OP_LOAD, R_X, q);
            emit(*g.cg, OP_STORE, R_X, g.loc(2));
        }
        emit(*g.cg, OP_TST, 1, operand_reg(*g.cg, M_ACK, R_B));
        branch(g, OP_BEQ, 2);
        branch(g, OP_BRA, 1);
        emit_label(*g.cg, 2);
        emit(*g.cg, OP_RTS);
        std::string t = printed(g);
        if (reset)
            EXPECT_EQ(t.find("U"), std::string::npos) << t;
        else
            EXPECT_EQ(t, "\tLDU\t2,S\n_1:\n\tLDB\t,U+\n\tBNE\t_1\n\tSTU\t2,S\n\tRTS\n");
    }
}

TEST(Peephole, BytePairsMerge) {
    Gen g(with({"-Op"}));
    g.cg->locals_size = 4;
    emit(*g.cg, OP_STORE, 1, g.loc(-1));
    emit(*g.cg, OP_STORE, 6, g.loc(-2));
    EXPECT_EQ(printed(g), "\tSTD\t2,S\n");
}

TEST(BranchRange, ShortWhileTheTargetIsInReach) {
    // NOP is one byte: a forward branch reaches 127 bytes past itself, a
    // backward one 128 bytes back from its end
    for (int n : {127, 128}) {
        Gen g;
        branch(g, OP_BNE, 1);
        nops(g, n);
        emit_label(*g.cg, 1);
        EXPECT_EQ(printed(g).substr(0, 5), n > 127 ? "\tLBNE" : "\tBNE\t") << n;
    }
    for (int n : {126, 127}) {
        Gen g;
        emit_label(*g.cg, 1);
        nops(g, n);
        branch(g, OP_BEQ, 1);
        std::string t = printed(g);
        EXPECT_NE(t.find(n > 126 ? "\tLBEQ\t_1" : "\tBEQ\t_1"), std::string::npos) << n;
    }
    // a long branch the generator chose (goto, continue) becomes short too
    Gen g;
    branch(g, OP_LBRA, 1);
    nops(g, 3);
    emit_label(*g.cg, 1);
    EXPECT_EQ(printed(g).substr(0, 5), "\tBRA\t");
}

TEST(BranchRange, LineSizesFollowTheAssembler) {
    // bytes typed from the datasheet: opcode (with its page prefix), the
    // indexed post-byte, then a 5-bit, 8-bit or 16-bit offset
    const std::pair<const char*, int> lines[] = {
        {"\tLDD\t4,S", 2}, {"\tLDD\t-17,S", 3}, {"\tLDD\t200,S", 4}, {"\tLDD\t[2,S]", 3},
        {"\tLDD\t[0,X]", 2}, {"\tLDB\t[_p,pcr]", 4}, {"\tLDD\t_g+2,X", 4}, {"\tSTD\t,X++", 2},
        {"\tLDD\t_g", 3}, {"\tLDX\t[_g]", 4}, {"\tLDB\t#1", 2}, {"\tLDD\t#$12F", 3},
        {"\tCMPD\t#0", 4}, {"\tCMPX\t#0", 3}, {"\tLDY\t2,X", 3}, {"\tCMPU\t#1", 4},
        {"\tLBEQ\t_3", 4}, {"\tLBRA\t_3", 3}, {"\tBCC\t.+4", 2}, {"\tPSHS\tD", 2},
        {"\tEXG\tD,Y", 2}, {"\tSEX", 1}, {"\tJSR\t[D,X]", 2}, {" ldd 4,x", 2}, {"_12:", 0},
        {"here: nop", 1}, {"\tFCB\t1", -1}, {"-- UNKNOWN PUTOP (3)", -1},
    };
    for (const auto& [line, bytes] : lines) EXPECT_EQ(line_bytes(line), bytes) << line;
}

TEST(BranchRange, StackOffsetsAreSizedWithThePushes) {
    // 0,S is 2 bytes, but 40 bytes pushed make it 40,S: 3 bytes each
    for (int pushed : {0, 40}) {
        Gen g;
        branch(g, OP_BNE, 1);
        emit(*g.cg, OP_DEPTH, pushed);
        for (int i = 0; i < 60; ++i) emit(*g.cg, OP_LOAD, R_D, g.loc(0));
        emit(*g.cg, OP_DEPTH, -pushed);
        emit_label(*g.cg, 1);
        EXPECT_EQ(printed(g).substr(0, 5), pushed ? "\tLBNE" : "\tBNE\t") << pushed;
    }
}

TEST(BranchRange, InlineAssemblerCountsByItsLines) {
    // __asm text between a branch and its target counts: 43 times LDD #1
    // and NOP reach past a short branch, and so does a directive, whose
    // size the compiler does not know
    for (const char* body : {"__asm(\"\\tLDD\\t#1\\n\\tNOP\");", "__asm(\" FCB 1,2,3\");"}) {
        std::string src = "int f(int x)\n{\n    if (x) {\n";
        int count = std::string(body).find("FCB") != std::string::npos ? 1 : 43;
        for (int i = 0; i < count; ++i) src += std::string("        ") + body + "\n";
        src += "    }\n    return x;\n}\n";
        Compiled c = compile(src);
        EXPECT_EQ(c.rc, 0) << c.err;
        EXPECT_NE(c.out.find("\tLBEQ\t"), std::string::npos) << body << "\n" << c.out;
    }
}

TEST(BranchRange, LongInstructionsNeedLongBranch) {
    // Ten 32-bit negations of 16 bytes each: few entries, too many bytes,
    // forward and backward.
    Gen g;
    branch(g, OP_BEQ, 1);
    for (int i = 0; i < 10; ++i) emit(*g.cg, OP_NEG, 4, new_operand(*g.cg, M_DACK));
    emit_label(*g.cg, 1);
    EXPECT_EQ(printed(g).substr(0, 6), "\tLBEQ\t");
    Gen back;
    emit_label(*back.cg, 1);
    for (int i = 0; i < 10; ++i) emit(*back.cg, OP_NEG, 4, new_operand(*back.cg, M_DACK));
    branch(back, OP_BRA, 1);
    EXPECT_NE(printed(back).find("\tLBRA\t_1"), std::string::npos);
}

TEST(Printing, EmptyFrameDropped) {
    Gen g;
    emit(*g.cg, OP_ENTER, 0);
    emit(*g.cg, OP_EXIT, 0);
    emit(*g.cg, OP_RTS);
    EXPECT_EQ(printed(g), "\tRTS\n");
}

TEST(Printing, RemovedEntriesShowWithDump) {
    Gen g(with({"-Op", "-dump"}));
    emit(*g.cg, OP_NOP);
    branch(g, OP_BRA, 1);
    emit_label(*g.cg, 1);
    EXPECT_EQ(printed(g), "\tNOP\n;\tBRA\t_1\n;R _1:\n");
}

}  // namespace
}  // namespace zun::tcx::test
