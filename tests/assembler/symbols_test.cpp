// Symbols across the passes: definitions, declarations, -D, -e, -C nocase,
// the printed table and the end-of-run function checks.
#include <gtest/gtest.h>

#include "asm_support.h"

namespace zun::hasm::test {
namespace {

TEST(Hasm09Symbols, MultipleDefinitionAtEveryLaterDefinition) {
  AsmRun r = assemble("a1 nop\na1 nop\na1 nop\n bra a1\n");
  EXPECT_EQ(r.rc, 2);
  EXPECT_EQ(r.err,
            "\"t.s09\" (2): error: Multiple definition\n"
            "\"t.s09\" (3): error: Multiple definition\n");
}

TEST(Hasm09Symbols, PhaseErrorReportedOnce) {
  // 'later' is unknown to the #ifdef of pass 1 and known in pass 2: the
  // block appears and moves both labels behind it.
  AsmRun r = assemble("#ifdef later\n nop\n#endif\nlater nop\nagain nop\n");
  EXPECT_NE(r.rc, 0);
  EXPECT_EQ(r.err, "\"t.s09\" (4): error: Phase error between passes\n");
}

TEST(Hasm09Symbols, CaseFoldingWithNocase) {
  AsmRun r = assemble("Loop nop\n bra LOOP\n", {"-C", "nocase"});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("12 20 FD"));
  r = assemble("Loop nop\n bra LOOP\n");
  EXPECT_EQ(r.err, "\"t.s09\" (2): error: Undefined symbol 'LOOP'\n");
}

TEST(Hasm09Symbols, UndefinedSymbolsBecomeImportsWithE) {
  AsmRun r = assemble(" jsr far\n ldd #far+1\n", {"-e"});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "RG:"),
            (std::vector<std::string>{"RG:text:t:00000001:O:W:far:1",
                                      "RG:text:t:00000004:O:W:far:2"}));
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("BD 00 00 CC 00 01"));
}

TEST(Hasm09Symbols, CommandLineDefines) {
  AsmRun r = assemble(" fcb A1,B1\n", {"-D", "A1", "-DB1=$41+1"});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("00 42"));
  r = assemble("A1 equ 5\n fcb A1\n", {"-w", "-D", "A1"});
  EXPECT_EQ(r.err,
            "\"t.s09\" (1): warning: Already defined from command line, this line is ignored\n");
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("00"));
  // A value that is no constant expression is not quietly taken as 0.
  for (const char* bad : {"-DV=zz", "-DV=1+", "-DV=A1+1"}) {
    r = assemble(" fcb V\n", {bad});
    EXPECT_EQ(r.out, std::string("HASM09: Bad value in -D '") + (bad + 2) + "', 0 assumed\n");
    EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("00")) << bad;
  }
  r = assemble(" fcb V\n", {"-DA1=2", "-DV=A1+1"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("03"));
}

TEST(Hasm09Symbols, DeclarationsInPassTwo) {
  AsmRun r = assemble(" export nowhere\n");
  EXPECT_EQ(r.err, "\"t.s09\" (1): error: Undefined global symbol\n");
  r = assemble("K equ 1\n export K\n");
  EXPECT_EQ(r.err, "\"t.s09\" (2): error: Constant can't be exported\n");
  r = assemble(" import ext\next nop\n");
  EXPECT_EQ(r.err, "\"t.s09\" (1): error: Illegal redeclaration\n");
}

TEST(Hasm09Symbols, SymbolTableOnStandardOutput) {
  AsmRun r = assemble("b2 nop\na1 nop\n", {"-S"});
  // Bucket order: "a1" sums to 0x92, "b2" to 0x94.
  EXPECT_EQ(r.out, "\n--\tSYMBOL TABLE:\n--\tVALUE   \tSYMBOL \t0001\ta1\t0000\tb2");
  r = assemble("b2 nop\na1 nop\n", {"-S", "-L"});
  EXPECT_NE(r.listing.find("\n--\tSYMBOL TABLE:\n--\tVALUE\tSYMBOL \n\t0001\ta1\n\t0000\tb2"),
            std::string::npos)
      << r.listing;
}

TEST(Hasm09Symbols, FunctionMarkersNeedBothEnds) {
  AsmRun r = assemble("f1 nop\n entry f1\n rts\n", {"-g", "-w"});
  EXPECT_EQ(r.rc, 0);
  EXPECT_NE(r.err.find("\"t.s09\" (1): warning: Function 'f1' has no exit definition"),
            std::string::npos)
      << r.err;
  r = assemble("f1 nop\nf1end rts\n function f1,f1end\n", {"-g"});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "SY:A:F:"),
            std::vector<std::string>{"SY:A:F:t:text:f1:00000000:1"});
  EXPECT_EQ(records(r.object, "SY:A:E:"), std::vector<std::string>{"SY:A:E:t:text:f1:1:2"});
  EXPECT_EQ(records(r.object, "G:"), std::vector<std::string>{"G:text:t:00000000:f1"});
}

TEST(Hasm09Symbols, AssemblerDataSymbolRecords) {
  AsmRun r = assemble(" segment data\nbuf rmb 10\nw fdb 1\n", {"-g"});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "SY:C:"),
            (std::vector<std::string>{"SY:C:T: typ2 l (4)", "SY:C:T: typ4 c (1)",
                                      "SY:C:T: typ6 s (2)", "SY:C:T:t: typ16-t A (10)(typ4)",
                                      "SY:C:S:S:t:data:buf:00000000:(typ16-t)",
                                      "SY:C:S:S:t:data:w:0000000A:(typ6)"}));
  EXPECT_EQ(records(r.object, "SY:A:X:").size(), 0u);
}

TEST(Hasm09Symbols, ExecutionPointsOfAssemblerSources) {
  AsmRun r = assemble(" nop\n* comment\n lda #1\n fcb 2\n", {"-g"});
  EXPECT_EQ(records(r.object, "SY:A:X:"),
            (std::vector<std::string>{"SY:A:X:t:1:text:0", "SY:A:X:t:3:text:1"}));
  EXPECT_EQ(records(r.object, "SY:A:M:").size(), 1u);
}

}  // namespace
}  // namespace zun::hasm::test
