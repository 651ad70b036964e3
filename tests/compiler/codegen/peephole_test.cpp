// Branch ranges, byte-pair merging, branch and label clean-ups and dead
// code removal over hand-built instruction lists.
#include "tests/compiler/codegen/harness.h"

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

TEST(Peephole, BytePairsMerge) {
    Gen g(with({"-Op"}));
    g.cg->locals_size = 4;
    emit(*g.cg, OP_STORE, 1, g.loc(-1));
    emit(*g.cg, OP_STORE, 6, g.loc(-2));
    EXPECT_EQ(printed(g), "\tSTD\t2,S\n");
}

TEST(BranchRange, InstructionCount) {
    for (int n : {19, 25}) {
        Gen g;
        branch(g, OP_BNE, 1);
        nops(g, n);
        emit_label(*g.cg, 1);
        std::string t = printed(g);
        EXPECT_EQ(t.substr(0, 5), n >= 20 ? "\tLBNE" : "\tBNE\t") << n;
    }
}

TEST(BranchRange, LongInstructionsNeedLongBranch) {
    // Ten 32-bit negations of 16 bytes each: few entries, too many bytes.
    Gen g;
    branch(g, OP_BEQ, 1);
    for (int i = 0; i < 10; ++i) emit(*g.cg, OP_NEG, 4, new_operand(*g.cg, M_DACK));
    emit_label(*g.cg, 1);
    EXPECT_EQ(printed(g).substr(0, 6), "\tLBEQ\t");
}

TEST(BranchRange, BackwardBranch) {
    Gen g;
    emit_label(*g.cg, 1);
    for (int i = 0; i < 10; ++i) emit(*g.cg, OP_NEG, 4, new_operand(*g.cg, M_DACK));
    branch(g, OP_BRA, 1);
    std::string t = printed(g);
    EXPECT_NE(t.find("\tLBRA\t_1"), std::string::npos);
}

TEST(BranchRange, NearBranchStaysShort) {
    Gen g;
    emit_label(*g.cg, 1);
    emit(*g.cg, OP_LOAD, R_D, g.glob("v"));
    branch(g, OP_BNE, 1);
    EXPECT_EQ(printed(g), "_1:\n\tLDD\t_v\n\tBNE\t_1\n");
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
