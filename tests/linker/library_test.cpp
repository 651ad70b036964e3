// Archives and the library search: -Ac output, -L/-l resolution, rounds that
// pull members for members, undefined names, and the member temporaries.
#include "tests/linker/vlk_fixture.h"

namespace zun::vlk::test {
namespace {

// A one-word module that defines `name` and refers to `uses` (if any).
std::string member(const std::string& module, const std::string& name, const std::string& uses = "") {
  std::string text = "mod:" + module + ":O09:" + module + ".o09\nseg:text:2\nC:text\t0000\n";
  if (!uses.empty()) text += "RG:text:" + module + ":00000000:O:W:" + uses + ":1\n";
  text += "G:text:" + module + ":00000000:" + name + "\n";
  text += "SY:A:M:" + module + "$src/" + module + ".s09\nSY:A:X:" + module + ":1:text:0\n";
  return text + "e\n";
}

class VlkLibrary : public VlkTest {
 protected:
  void SetUp() override {
    VlkTest::SetUp();
    write("mputs.o09", member("mputs", "puts", "putc"));
    write("mputc.o09", member("mputc", "putc"));
    write("munused.o09", member("munused", "unused"));
    write("main.o09", member("main", "main", "puts"));
  }
  void make_library(const std::string& options = "") {
    std::filesystem::create_directory("lib");
    ASSERT_EQ(vlk("-Ac " + options + " -o lib/libx.e09 mputs.o09 munused.o09 mputc.o09"), 0) << err;
  }
};

TEST_F(VlkLibrary, ArchiveHoldsTheObjectsBetweenAAndE) {
  ASSERT_EQ(vlk("-Ac -g -o with.e09 mputs.o09 mputc.o09"), 0);
  EXPECT_EQ(read("with.e09"), "A\n" + read("mputs.o09") + read("mputc.o09") + "E\n");
  ASSERT_EQ(vlk("-Acg -o without.e09 mputc.o09"), 0);
  EXPECT_EQ(read("without.e09").find("SY:"), std::string::npos) << "the g of -Acg is not read";
  ASSERT_EQ(vlk("-Ac -g -As ../lib/src -o sub.e09 mputc.o09"), 0);
  EXPECT_EQ(read("sub.e09"),
            "A\nmod:mputc:O09:mputc.o09\nseg:text:2\nC:text\t0000\nG:text:mputc:00000000:putc\n"
            "SY:A:M:mputc$../lib/src/mputc.s09\nSY:A:X:mputc:1:text:0\ne\nE\n");
  ASSERT_EQ(vlk("-Ac -o bare.e09 mputc.o09"), 0);
  EXPECT_EQ(read("bare.e09"),
            "A\nmod:mputc:O09:mputc.o09\nseg:text:2\nC:text\t0000\nG:text:mputc:00000000:putc\ne\nE\n");
  EXPECT_EQ(vlk("-Ac -R nocolon -o bad.e09 mputc.o09"), 1) << "an error is never a success";
  EXPECT_EQ(err, "Error: expected ':' in segment directive, check options\n");
  EXPECT_FALSE(exists("bad.e09"));
  write("flat.o09", "mod:f:O09:f.o09\nSY:A:M:f$f.s09\ne\n");
  EXPECT_EQ(vlk("-Ac -g -As src -o flat.e09 flat.o09"), 1);
  EXPECT_EQ(err, "Fatal Error: can't substitute path 'f.s09'\n\n");
  EXPECT_FALSE(exists("flat.e09"));
}

TEST_F(VlkLibrary, MembersPullMembersInOneSearch) {
  for (const char* options : {"", "-g"}) {
    make_library(options);
    ASSERT_EQ(vlk("-L lib -L lib -l libx.e09 -M -o p.s19 main.o09"), 0) << err;
    std::string map = read("p.map");
    EXPECT_NE(map.find("\n SEARCHED LIBRARIES:\n 'lib/libx.e09'\n"), std::string::npos) << map;
    EXPECT_NE(map.find("\n   00000002 'puts'  (from library 'lib/libx.e09')"), std::string::npos) << map;
    EXPECT_NE(map.find("\n   00000004 'putc'  (from library 'lib/libx.e09')"), std::string::npos) << map;
    EXPECT_EQ(map.find("unused"), std::string::npos);
    EXPECT_EQ(leftovers(), std::vector<std::string>{});
  }
}

TEST_F(VlkLibrary, LongChainsArriveWithinTheRoundLimit) {
  std::vector<std::string> files;
  for (int i = 0; i < 30; ++i) {
    std::string name = "c" + std::to_string(i);
    write(name + ".o09", member(name, "f" + std::to_string(i), i < 29 ? "f" + std::to_string(i + 1) : ""));
    files.push_back(name + ".o09");
  }
  std::string list;
  for (auto it = files.rbegin(); it != files.rend(); ++it) list += " " + *it;
  ASSERT_EQ(vlk("-Ac -o chain.e09" + list), 0);
  write("top.o09", member("top", "top", "f0"));
  ASSERT_EQ(vlk("-l ./chain.e09 -o p.s19 top.o09"), 0) << err;
  EXPECT_EQ(srec_bytes(read("p.s19")).size(), 62u);
}

TEST_F(VlkLibrary, ProgramDefinitionWinsOverTheLibrary) {
  make_library();
  write("myputc.o09", member("myputc", "putc"));
  ASSERT_EQ(vlk("-L lib -l libx.e09 -M -o p.s19 main.o09 myputc.o09"), 0) << err;
  std::string map = read("p.map");
  EXPECT_NE(map.find("\n   00000002 'putc'\n"), std::string::npos) << map;
  EXPECT_EQ(map.find("in module: 'mputc'"), std::string::npos);
}

TEST_F(VlkLibrary, UnresolvableNamesAreReportedOnce) {
  make_library();
  write("a.o09", member("a", "a", "missing"));
  write("b.o09", member("b", "b", "missing"));
  EXPECT_EQ(vlk("-L lib -l libx.e09 -o p.s19 main.o09 a.o09 b.o09"), 1);
  EXPECT_EQ(err, "Error: In file 'a.o09': undefined symbol 'missing'\n");
  EXPECT_FALSE(exists("p.s19"));
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

TEST_F(VlkLibrary, LibraryFilesThatCannotBeFound) {
  make_library();
  EXPECT_EQ(vlk("-L lib -l libnone.e09 main.o09"), 1);
  EXPECT_EQ(err, "Fatal Error: can't find library 'libnone.e09'\n");
  EXPECT_EQ(vlk("-l libx.e09 main.o09"), 1) << "no directory given";
  EXPECT_EQ(err, "Fatal Error: can't find library 'libx.e09'\n");
  EXPECT_EQ(vlk("-l other/libx.e09 main.o09"), 1);
  EXPECT_EQ(err, "Fatal Error: can't open library 'other/libx.e09'\n");
  EXPECT_EQ(vlk("-v -l lib/libx.e09 main.o09"), 0);
  EXPECT_NE(out.find("Installed search library:'lib/libx.e09'\n"), std::string::npos);
}

TEST_F(VlkLibrary, MemberTemporariesNeverOverwriteOtherFiles) {
  make_library();
  write("~~v0L", "someone else's");
  write("~~v1L", "another");
  ASSERT_EQ(vlk("-L lib -l libx.e09 main.o09"), 0) << err;
  EXPECT_EQ(read("~~v0L"), "someone else's");
  EXPECT_EQ(read("~~v1L"), "another");
  std::filesystem::remove("~~v0L");
  std::filesystem::remove("~~v1L");
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

TEST_F(VlkLibrary, SameModuleNameTwiceInOneArchive) {
  write("a/util.o09", member("util", "one"));
  write("b/util.o09", member("util", "two"));
  ASSERT_EQ(vlk("-Ac -o u.e09 a/util.o09 b/util.o09"), 0);
  write("use.o09", "mod:use:O09:use.o09\nseg:text:4\nC:text\t00000000\n"
                   "RG:text:use:00000000:O:W:two:1\nRG:text:use:00000002:O:W:one:1\ne\n");
  ASSERT_EQ(vlk("-l ./u.e09 -R text:0x100 -o p.s19 use.o09"), 0) << err;
  auto bytes = srec_bytes(read("p.s19"));
  ASSERT_EQ(bytes.size(), 8u);
  // use (4 bytes), then the members in archive order: 'one' before 'two'.
  EXPECT_EQ(bytes[0].second << 8 | bytes[1].second, 0x106);
  EXPECT_EQ(bytes[2].second << 8 | bytes[3].second, 0x104);
}

}  // namespace
}  // namespace zun::vlk::test
