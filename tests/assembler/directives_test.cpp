// Directives of the pure, TSC and base tables: data, storage, alignment,
// constants, dialect switches, segments, imports and END.
#include <gtest/gtest.h>

#include "asm_support.h"

namespace zun::hasm::test {
namespace {

std::vector<uint8_t> text_of(const AsmRun& r) { return segment_bytes(r.object, "text"); }

std::string first_error(const std::string& source, const std::vector<std::string>& args = {}) {
  return assemble(source, args).err;
}

TEST(Hasm09Directives, DataValues) {
  AsmRun r = assemble(" fcb 1,2,3\n fdb $1234,-1\n fqb $12345678\n", {"-L"});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(text_of(r), hex_bytes("01 02 03 12 34 FF FF 12 34 56 78"));
  EXPECT_NE(r.listing.find("0000 01 02 03         "), std::string::npos) << r.listing;
  EXPECT_EQ(first_error(" fcb 1 2\n fcb 1;2\n"),
            "\"t.s09\" (2): error: Bad delimiter\n");
}

TEST(Hasm09Directives, StorageAndAlignment) {
  EXPECT_EQ(text_of(assemble(" rmb 4\n rmw 1\n")), hex_bytes("00 00 00 00 00 00"));
  EXPECT_EQ(first_error(" rmb 0\n"),
            "\"t.s09\" (1): error: Undetermined size for reservation of storage\n");
  EXPECT_EQ(first_error(" rmb -1\n"),
            "\"t.s09\" (1): error: Undetermined size for reservation of storage\n");
  EXPECT_EQ(first_error(" align 3\n"), "\"t.s09\" (1): error: Illegal alignment\n");
  EXPECT_EQ(text_of(assemble(" fcb 1,2,3,4,5\n align 4\n fcb 9\n")),
            hex_bytes("01 02 03 04 05 00 00 00 09"));
  EXPECT_EQ(text_of(assemble(" fcb 1\n align 0\n fcb 9\n")), hex_bytes("01 09"));
}

TEST(Hasm09Directives, OriginMovesForwardOnly) {
  EXPECT_EQ(first_error(" rmb 4\n org 2\n"),
            "\"t.s09\" (2): error: New origin will overwrite in current segment\n");
  EXPECT_EQ(first_error(" org later\nlater nop\n"), "\"t.s09\" (1): error: Forward reference\n");
  AsmRun r = assemble(" org 3\nhere fdb here\n");
  EXPECT_EQ(text_of(r), hex_bytes("00 00 00 00 00"));
}

TEST(Hasm09Directives, AValueMustFillItsOperand) {
  // What stands behind a value, up to the blank before the comment, is an
  // error, never silently dropped.
  for (const char* source : {"V equ 5;2\n", "V set 5,2\n", " org 4=2\n", " rmb 2,3\n",
                             "#if 1=1\n#endif\n", "#define V 1,2\n"})
    EXPECT_EQ(first_error(source), "\"t.s09\" (1): error: Bad constant delimiter\n") << source;
  EXPECT_EQ(first_error(".stab stmt 1,2;\n.stab fexit 1,2]\n.stab blk L,1,2=2\n", {"-g"}),
            "\"t.s09\" (1): error: Bad constant delimiter\n"
            "\"t.s09\" (2): error: Bad constant delimiter\n"
            "\"t.s09\" (3): error: Bad constant delimiter\n");
}

TEST(Hasm09Directives, EquAndSet) {
  EXPECT_EQ(first_error("V equ 5\nV equ 5\n"),
            "\"t.s09\" (2): error: symbol 'V' previously defined at line 1\n");
  AsmRun r = assemble("V set 5\n fcb V\nV set 6\n fcb V\n");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(text_of(r), hex_bytes("05 06"));
  EXPECT_EQ(first_error(" equ 5\n"), "\"t.s09\" (1): error: No label for \"equ\"\n");
  EXPECT_EQ(first_error(" fcb K\nK equ 1\n", {"-w"}),
            "\"t.s09\" (2): warning: symbol 'K' is forward referenced from line 1\n");
  r = assemble("K equ $1234\n", {"-L"});
  EXPECT_NE(r.listing.find("     0000 1234            1. K equ $1234"), std::string::npos)
      << r.listing;
}

TEST(Hasm09Directives, Strings) {
  EXPECT_EQ(text_of(assemble(" fcs \"abc\"\n")), hex_bytes("61 62 63"));
  EXPECT_EQ(text_of(assemble(" fcs \"a\\n\\t\\r\\b\\0\\7\\\\\\\"\"\n")),
            hex_bytes("61 0A 09 0D 08 00 07 5C 22"));
  EXPECT_EQ(first_error(" fcs abc\n"), "\"t.s09\" (1): error: Bad operand syntax\n");
  EXPECT_EQ(first_error(" fcs \"abc\n"), "\"t.s09\" (1): error: Bad operand syntax\n");
  EXPECT_EQ(first_error(" fcs \"\xE9\"\n", {"-w"}),
            "\"t.s09\" (1): warning: Illegal ASCII character\n");
}

TEST(Hasm09Directives, TscDialect) {
  // fcc, setdp and the other TSC words exist only after 'option TSC'.
  EXPECT_EQ(first_error(" fcc /abc/\n"), "\"t.s09\" (1): error: Illegal mnemonic\n");
  EXPECT_EQ(first_error(" pshs #3\n"), "\"t.s09\" (1): error:  Invalid register list\n");
  AsmRun r = assemble(" option tsc\n fcc /a,b/,'c',1,$41\n pshs #$16\n lda #'z\n setdp $12\n lda <$1234\n");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(text_of(r), hex_bytes("61 2C 62 63 01 41 34 16 86 7A 96 34"));
  EXPECT_EQ(first_error(" option tsc\n fcc /abc\n"),
            "\"t.s09\" (2): error: Invalid argument for FCC\n");
  EXPECT_EQ(first_error(" option tsc\n pshs #256\n"), "\"t.s09\" (2): error: Byte constant expected\n");
  EXPECT_EQ(first_error(" option tsc\n setdp 256\n"), "\"t.s09\" (2): error: DPR register is 8 bits\n");
  EXPECT_EQ(first_error(" option tsc\n nam x\n", {"-w"}),
            "\"t.s09\" (2): warning: Unimplemented assembler directive, ignored\n");
  EXPECT_EQ(first_error(" lda <$1234\n", {"-w"}),
            "\"t.s09\" (1): warning: 8-bit direct-page offset truncated\n");
}

TEST(Hasm09Directives, NopureTurnsEveryTableOff) {
  AsmRun r = assemble(" org 4\n", {"-C", "nopure"});
  EXPECT_EQ(r.err, "\"t.s09\" (1): error: Illegal mnemonic\n");
  r = assemble("#if 1\n", {"-Cnopure"});
  EXPECT_EQ(r.err, "\"t.s09\" (1): error: Illegal label\n");
  EXPECT_EQ(first_error(" farseg\n"), "\"t.s09\" (1): error: Illegal mnemonic\n");
}

TEST(Hasm09Directives, OptionWords) {
  // opt is option's TSC spelling, known before the TSC directives are on.
  for (const char* first : {" opt TSC\n", " OPT tsc\n", "start opt TSC\n"}) {
    AsmRun r = assemble(std::string(first) + " fcc /ab/\n");
    EXPECT_EQ(r.rc, 0) << first << r.err;
    EXPECT_EQ(text_of(r), hex_bytes("61 62")) << first;
  }
  EXPECT_EQ(first_error(" opt\n"), "\"t.s09\" (1): error: 'option' requires argument(s)\n");
  EXPECT_EQ(assemble(" opt TSC\n", {"-C", "nopure"}).err, "\"t.s09\" (1): error: Illegal mnemonic\n");
  EXPECT_EQ(first_error(" option\n"), "\"t.s09\" (1): error: 'option' requires argument(s)\n");
  EXPECT_EQ(first_error(" option frob\n"), "\"t.s09\" (1): error: Unrecognised option\n");
  AsmRun r = assemble(" nop\n option nolist\n nop\n option list\n rts\n", {"-L"});
  EXPECT_NE(r.listing.find("option nolist"), std::string::npos);
  EXPECT_EQ(r.listing.find("   3. "), std::string::npos) << r.listing;
  EXPECT_NE(r.listing.find("option list"), std::string::npos);
  EXPECT_EQ(first_error(" list\n", {"-w"}),
            "\"t.s09\" (1): warning: Old fashioned directive: 'LIST', use 'OPTION LIST' instead\n");
}

TEST(Hasm09Directives, SegmentsAndImports) {
  AsmRun r = assemble(" data\nd fcb 1\n segment Data\n fcb 2\n bss\n rodata\n text\n nop\n");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(records(r.object, "seg:"),
            (std::vector<std::string>{"seg:text:1", "seg:data:1", "seg:Data:1", "seg:bss:0",
                                      "seg:rodata:0"}));
  std::string long_name(128, 'n');
  EXPECT_EQ(first_error(" segment " + long_name + "\n"),
            "\"t.s09\" (1): error: Segment name '" + long_name +
                "' is to long (max 128 characters)\n");
  EXPECT_EQ(first_error(" import a1:4,b1\n", {"-w"}),
            "\"t.s09\" (1): warning: Unsized import, word (2 bytes) assumed\n");
  EXPECT_EQ(first_error(" import a1:x\n"), "\"t.s09\" (1): error: Integer constant expected\n");
  EXPECT_EQ(first_error(" xref a1\n", {"-w"}),
            "\"t.s09\" (1): warning: Old fashioned directive: 'EXTERN or XREF', use 'IMPORT' "
            "instead\n\"t.s09\" (1): warning: Unsized import, word (2 bytes) assumed\n");
}

TEST(Hasm09Directives, EndStopsThePassEvenInsideAnInclude) {
  AsmRun r = assemble(" fcb 1\n use inc.s09\n fcb 3\n", {}, {{"inc.s09", " fcb 2\n end\n fcb 9\n"}});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(text_of(r), hex_bytes("01 02"));
  EXPECT_EQ(first_error(" use nothere.s09\n"), "\"t.s09\" (1): error: File not found: 'nothere.s09'\n");
  // A directory or a device is there but holds no lines: it is no file to
  // include, and the message says why.
  EXPECT_EQ(assemble(" use sub\n", {}, {{"sub/x.s09", ""}}).err,
            "\"t.s09\" (1): error: Can't open 'sub': is a directory\n");
  EXPECT_EQ(first_error(" use \"/dev/zero\"\n"), "\"t.s09\" (1): error: Can't open '/dev/zero': is not a regular file\n");
  // The reason belongs to its own line only.
  EXPECT_EQ(assemble(" use \"/dev/zero\"\n use\n").err,
            "\"t.s09\" (1): error: Can't open '/dev/zero': is not a regular file\n"
            "\"t.s09\" (2): error: File not found: ''\n");
  // Found further along the search, the file is used.
  EXPECT_EQ(assemble(" use x.s09\n", {"-I", "inc"}, {{"x.s09/y", ""}, {"inc/x.s09", " fcb 7\n"}}).rc, 0);
  EXPECT_EQ(first_error("start nop\n end nowhere\n", {"-w"}),
            "\"t.s09\" (2): warning: start symbol 'nowhere' is defined\n");
}

TEST(Hasm09Directives, Preprocessor) {
  EXPECT_EQ(first_error("#error stop\n"), "\"t.s09\" (1): error: Message Directive\n");
  EXPECT_EQ(first_error("#endif\n"), "\"t.s09\" (1): error: #endif with no #if\n");
  EXPECT_EQ(first_error("#else\n"), "\"t.s09\" (1): error: #else with no #if\n");
  EXPECT_EQ(first_error("#if 1\n#else\n#else\n#endif\n"),
            "\"t.s09\" (3): error: #else after #else\n");
  EXPECT_EQ(first_error("#define M(a) a\n", {"-w"}),
            "\"t.s09\" (1): warning: Macro Expansions is NOT supported, 'define' igored\n");
  EXPECT_EQ(first_error("#define V 1\n#define V 2\n"),
            "\"t.s09\" (2): error: symbol 'V' redefined at line 1\n");
  // Expression faults name their column in the line itself.
  EXPECT_EQ(first_error("#if   (1+2\n#endif\n"),
            "\"t.s09\" (1): error: Missing Parenthesis, Position[10]\n");
  EXPECT_EQ(first_error("#define V  1+\n"),
            "\"t.s09\" (1): error: Unterminated expression, Position[13]\n");
  // #elif tests only whether the name is defined.
  AsmRun r = assemble("#define Z0 0\n#if 0\n fcb 1\n#elif Z0\n fcb 2\n#else\n fcb 3\n#endif\n");
  EXPECT_EQ(text_of(r), hex_bytes("02"));
  // Lines of a false block are listed only with LISTCOND.
  r = assemble("#if 0\n fcb 1\n#endif\n", {"-L"});
  EXPECT_EQ(r.listing.find("fcb 1"), std::string::npos);
  r = assemble(" option listcond\n#if 0\n fcb 1\n#endif\n", {"-L"});
  EXPECT_NE(r.listing.find("fcb 1"), std::string::npos);
}

TEST(Hasm09Directives, OverlongLineIsSplitWithAWarning) {
  std::string line = " fcb 1" + std::string(4088, ' ') + "\n";  // 4094 characters
  AsmRun r = assemble(line + std::string(5000, ' ') + "nop\n", {"-w"});
  EXPECT_NE(r.err.find("warning: Source line is to long"), std::string::npos) << r.err;
  EXPECT_EQ(text_of(r), hex_bytes("01 12"));
}

}  // namespace
}  // namespace zun::hasm::test
