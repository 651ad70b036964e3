// Relocation entries of every field kind, the cases that cannot be relocated,
// and the debug records that name files and segments.
#include <gtest/gtest.h>

#include "asm_support.h"

namespace zun::hasm::test {
namespace {

const std::string DataFirst = " segment data\n fcb 0\nd1 fcb 1\n segment text\n";

TEST(Hasm09Object, RelocationOfEveryFieldKind) {
  AsmRun r = assemble(DataFirst +
                      " lda #d1\n ldx #d1\n ldx d1\n lda d1,x\n lda [d1]\n fcb d1\n fqb d1\n");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "RL:"),
            (std::vector<std::string>{
                "RL:text:t:00000001:O:B:00000001:data:5",
                "RL:text:t:00000003:O:W:00000001:data:6",
                "RL:text:t:00000006:O:W:00000001:data:7",
                "RL:text:t:0000000A:O:W:00000001:data:8",
                "RL:text:t:0000000E:O:W:00000001:data:9",
                "RL:text:t:00000010:O:B:00000001:data:10",
                "RL:text:t:00000011:O:L:00000001:data:11"}));
}

TEST(Hasm09Object, LongBranchesIntoOtherSegmentsAreFinishedByTheLinker) {
  AsmRun r = assemble(DataFirst + " lbra d1\n lbeq d1+4\n leax d1,pcr\n ldy [d1,pcr]\n");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "RL:"),
            (std::vector<std::string>{
                "RL:text:t:00000001:P:W:00000001:data:5",
                "RL:text:t:00000005:P:W:00000001:data:6",
                "RL:text:t:00000009:P:W:00000001:data:7",
                "RL:text:t:0000000E:P:W:00000001:data:8"}));
  // Each field holds its constant minus 2: the linker measures from the field.
  EXPECT_EQ(segment_bytes(r.object, "text"),
            hex_bytes("16 FF FE 10 27 00 02 30 8D FF FE 10 AE 9D FF FE"));
}

TEST(Hasm09Object, FixedTargetsFromAMovingSegmentAreFinishedByTheLinker) {
  // A number or constant is a fixed address: its distance from text is known
  // once text is placed. The entry names it in abs, where the constants are.
  AsmRun r = assemble("K equ $E029\nhere lbra $E100\n lbeq K\n leax $20,pcr\n ldy [K+1,pcr]\n"
                      " bra $1000\n bsr K\n beq here\n lbra here\n");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "RL:"),
            (std::vector<std::string>{
                "RL:text:t:00000001:P:W:0000E100:abs:2",
                "RL:text:t:00000005:P:W:0000E029:abs:3",
                "RL:text:t:00000009:P:W:00000020:abs:4",
                "RL:text:t:0000000E:P:W:0000E02A:abs:5",
                "RL:text:t:00000011:P:B:00001000:abs:6",
                "RL:text:t:00000013:P:B:0000E029:abs:7"}));
  // The fields hold what lies between them and the instruction's end; targets
  // in the segment itself keep their distances.
  EXPECT_EQ(segment_bytes(r.object, "text"),
            hex_bytes("16 FF FE 10 27 FF FE 30 8D FF FE 10 AE 9D FF FE 20 FF 8D FF 27 EA 16 FF E7"));
  // Without a constant of its own the source still gets its segment abs.
  EXPECT_EQ(records(assemble(" bra 0\n").object, "seg:"),
            (std::vector<std::string>{"seg:text:2", "seg:abs:0"}));
  // In abs itself places are numbers: the distance is known, no entry made.
  r = assemble(" segment abs\n org $E000\n lbra $E100\n bra $E010\n leax $E020,pcr\n");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(records(r.object, "RL:").empty());
  std::vector<uint8_t> code = segment_bytes(r.object, "abs");
  ASSERT_EQ(code.size(), 0xE008u);
  EXPECT_EQ(std::vector<uint8_t>(code.end() - 8, code.end()), hex_bytes("16 00 FD 20 0B 30 8C 18"));
}

TEST(Hasm09Object, ImportsAndExportsUseGlobalRecords) {
  AsmRun r = assemble(" export here\n import ext\nhere nop\n jsr here\n lbsr ext\n bsr here\n");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "RG:"),
            (std::vector<std::string>{"RG:text:t:00000002:O:W:here:4",
                                      "RG:text:t:00000005:P:W:ext:5"}));
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("12 BD 00 00 17 FF FE 8D F7"));
}

TEST(Hasm09Object, FieldsThatCannotBeRelocated) {
  EXPECT_EQ(assemble(DataFirst + " bra d1\n").err,
            "\"t.s09\" (5): error: Relative operand in another segment\n");
  EXPECT_EQ(assemble(" import ext\n beq ext\n").err,
            "\"t.s09\" (2): error: External or undefined operand\n");
  EXPECT_EQ(assemble(DataFirst + " lda <d1\n").err,
            "\"t.s09\" (5): error: Relocatable operand in direct mode\n");
}

TEST(Hasm09Object, SegmentNamesAreCaseSensitive) {
  AsmRun r = assemble(" segment Text\nfar nop\n segment text\n lbra far\n");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "RL:"),
            std::vector<std::string>{"RL:text:t:00000001:P:W:00000000:Text:4"});
  // ':' separates the fields of every record and a leading '!' marks a far
  // segment: names holding them would be misread by the linker.
  for (const char* name : {"a:b", "!x"}) {
    r = assemble(std::string(" segment ") + name + "\n nop\n");
    EXPECT_EQ(r.err, std::string("\"t.s09\" (1): error: Illegal segment name '") + name + "'\n");
    EXPECT_EQ(records(r.object, "seg:"), std::vector<std::string>{"seg:text:1"});
  }
}

TEST(Hasm09Object, StabSymbolUsesTheSegmentOfItsSymbol) {
  AsmRun r = assemble(" segment bss\n_v rmb 2\n segment text\n.stab sym S:v:_v:(typ6)\n"
                      ".stab sym L:f:i:-2:(typ6)\n.stab frob\n",
                      {"-g", "-w"});
  EXPECT_EQ(records(r.object, "SY:C:S:"),
            (std::vector<std::string>{"SY:C:S:S:t:bss:v:00000000:(typ6)",
                                      "SY:C:S:L:t:f:i:-2:(typ6)"}));
  EXPECT_EQ(r.err, "\"t.s09\" (6): warning: Unrecognized '.stab'-entry\n");
  // Without -g nothing is written, continuation lines included.
  r = assemble(".stab type  typ16 Z (2)S s {\\\nnop\\\n}\n nop\n");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("12"));
  EXPECT_TRUE(records(r.object, "SY:").empty());
}

TEST(Hasm09Object, StabExpressionFaultsNameTheirColumnInTheLine) {
  // The same input gives the same messages, run after run.
  const std::string source = ".stab stmt 14,\n.stab fexit 2,1+\n.stab blk L,1,(2\n";
  for (int run = 0; run < 3; ++run)
    EXPECT_EQ(assemble(source, {"-g"}).err,
              "\"t.s09\" (1): error: Unterminated expression, Position[14]\n"
              "\"t.s09\" (2): error: Unterminated expression, Position[16]\n"
              "\"t.s09\" (3): error: Missing Parenthesis, Position[16]\n");
}

TEST(Hasm09Object, IncludedFilesInDebugRecordsAndListing) {
  AsmRun r = assemble(" nop\n use lib/inc.asm\n rts\n", {"-g", "-L"},
                      {{"lib/inc.asm", " clra\n"}});
  ASSERT_EQ(r.rc, 0) << r.err;
  std::vector<std::string> modules = records(r.object, "SY:A:M:");
  ASSERT_EQ(modules.size(), 2u);
  EXPECT_EQ(modules[1], "SY:A:M:inc$lib/inc.asm");
  EXPECT_EQ(records(r.object, "SY:A:X:"),
            (std::vector<std::string>{"SY:A:X:t:1:text:0", "SY:A:X:inc:1:text:1",
                                      "SY:A:X:t:3:text:2"}));
  // Each file is named where its lines begin: behind the use line, and again
  // before the first line after the include.
  EXPECT_NE(r.listing.find("    2.  use lib/inc.asm\n---- File: \"lib/inc.asm\"\n0001 4F"),
            std::string::npos)
      << r.listing;
  EXPECT_NE(r.listing.find("    3.  clra\n---- File: \"t.s09\"\n0002 39"), std::string::npos)
      << r.listing;
}

TEST(Hasm09Object, RecordedPathsUseSlashes) {
  // Names given with backslashes are written with '/' like every other path.
  AsmRun r = assemble(" nop\n", {"-g", "-r", "sub\\name.s09"});
  EXPECT_EQ(records(r.object, "SY:A:M:"), std::vector<std::string>{"SY:A:M:name$sub/name.s09"});
  r = assemble(" nop\n", {"-g", "-d", "C:\\dbg\\x"});
  EXPECT_EQ(records(r.object, "SY:A:M:"), std::vector<std::string>{"SY:A:M:t$C:/dbg/x/t.s09"});
  r = assemble(" FILE \"src\\m.c\"\n nop\n", {"-g"});
  EXPECT_EQ(records(r.object, "SY:C:M:"), std::vector<std::string>{"SY:C:M:m$src/m.c"});
}

TEST(Hasm09Object, NoTemporaryOutlivesARun) {
  AsmRun r = assemble(DataFirst + " lbra d1\n frob\n", {"-g", "-e", "-L"});
  EXPECT_EQ(r.err.find("LEFTOVER"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace zun::hasm::test
