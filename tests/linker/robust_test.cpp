// vlk with damaged and hostile inputs and with outputs that cannot be written:
// every run ends with a complete output or an error, never with a program
// linked from half an object.
#include <sys/stat.h>

#include "tests/linker/vlk_fixture.h"
#include "tests/tools/tool_run.h"

namespace zun::vlk::test {
namespace {

namespace fs = std::filesystem;
using zun::test::file_size_limit;
using zun::test::run_in;

const std::string kGolden = std::string(ZUN_SOURCE_DIR) + "/tests/linker/golden/two_modules/in/";

class VlkRobust : public VlkTest {
 protected:
  void SetUp() override {
    VlkTest::SetUp();
    write("m1.o09", read(kGolden + "m1.o09"));
    write("m2.o09", read(kGolden + "m2.o09"));
  }
};

TEST_F(VlkRobust, EveryTruncationOfAnObjectOrArchiveIsRefused) {
  ASSERT_EQ(vlk("-R text:0x1000 -o whole.s19 m1.o09 m2.o09"), 0) << err;
  ASSERT_EQ(vlk("-Ac -o lib.e09 m1.o09"), 0) << err;
  write("main.o09", "mod:main:O09:main.o09\nseg:text:2\nC:text\t3900\ne\n");
  for (const std::string& name : {std::string("m1.o09"), std::string("lib.e09")}) {
    std::string whole = read(name);
    // Only the whole file and the one that lacks just its last newline link.
    for (size_t n = 1; n + 1 < whole.size(); ++n) {
      write("cut", whole.substr(0, n));
      int rc = name == "m1.o09" ? vlk("-R text:0x1000 -o p.s19 cut m2.o09")
                                : vlk("-R text:0x1000 -o p.s19 -L . -l cut main.o09 m2.o09");
      EXPECT_NE(rc, 0) << name << " cut at " << n;
      EXPECT_FALSE(exists("p.s19")) << name << " cut at " << n;
    }
  }
  write("cut", read("m1.o09").substr(0, read("m1.o09").size() - 5));
  EXPECT_EQ(vlk("-o p.s19 cut m2.o09"), 1);
  EXPECT_EQ(err, "Error: file 'cut' is truncated\n");
}

TEST_F(VlkRobust, RelocationOutsideItsModuleIsAnError) {
  // The word at offset 1 of a 2-byte part would overwrite the next module.
  write("a.o09", "mod:a:O09:a.o09\nseg:text:2\nC:text\t1234\nRL:text:a:00000001:O:W:00000000:text:3\ne\n");
  write("b.o09", "mod:b:O09:b.o09\nseg:text:2\nC:text\tABCD\ne\n");
  EXPECT_EQ(vlk("-R text:0x100 -o p.s19 a.o09 b.o09"), 1);
  EXPECT_EQ(err, "Error: relocation at offset 1 of segment 'text' lies outside module 'a' in file 'a.o09'\n");
  EXPECT_FALSE(exists("p.s19"));
  write("a.o09", "mod:a:O09:a.o09\nseg:text:2\nC:text\t1234\nRG:text:a:00000008:O:B:x:3\nG:text:a:0:x\ne\n");
  EXPECT_EQ(vlk("-r -o p.vlk a.o09"), 1);
  EXPECT_NE(err.find("lies outside module 'a' in file 'a.o09'"), std::string::npos) << err;
}

TEST_F(VlkRobust, FilesThatAreNoTextFiles) {
  fs::create_directory("dir.o09");
  EXPECT_EQ(vlk("-o p.s19 dir.o09"), 1);
  EXPECT_EQ(err, "Fatal Error: can't open 'dir.o09'\n");
  EXPECT_EQ(vlk("-o p.s19 -l /dev/zero m1.o09 m2.o09"), 1);
  EXPECT_EQ(err, "Fatal Error: can't open library '/dev/zero'\n");
  EXPECT_EQ(vlk("-o p.s19 -i /dev/zero m1.o09 m2.o09"), 1);
  EXPECT_NE(err.find("can't open script file '/dev/zero'"), std::string::npos) << err;
  // A binary file has no place in an archive.
  write("bin.o09", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10) + std::string(200, '\0'));
  EXPECT_EQ(vlk("-Ac -o lib.e09 m1.o09 bin.o09"), 1);
  EXPECT_EQ(err, "Error: file 'bin.o09' has invalid header\n");
  EXPECT_FALSE(exists("lib.e09"));
  // A script must not turn the build's link into an archive.
  write("s.lsc", "-Ac\n");
  EXPECT_EQ(vlk("-o p.s19 -i s.lsc m1.o09 m2.o09"), 1);
  EXPECT_NE(err.find("'-Ac' in a linker script is refused"), std::string::npos) << err;
  EXPECT_FALSE(exists("p.s19"));
  // A line of 2 MB in a script ends it with the line named.
  write("long.lsc", "entry(start)\n" + std::string(2 << 20, 'x') + "\n");
  EXPECT_EQ(vlk("-o p.s19 -i long.lsc m1.o09 m2.o09"), 1);
  EXPECT_NE(err.find("line 2 is longer than the limit"), std::string::npos) << err;
}

TEST_F(VlkRobust, ScriptsWithCarriageReturnsOnly) {
  const std::string script = "// program at 0x4000\n-R text:0x4000\nmemory ( rwx, 0x4000, 0x1000 )\nentry ( start )\n";
  write("k.lsc", script);
  ASSERT_EQ(vlk("-M -i k.lsc -o lf.s19 m1.o09 m2.o09"), 0) << err;
  std::string cr = script;
  for (char& c : cr)
    if (c == '\n') c = '\r';
  write("k.lsc", cr);
  ASSERT_EQ(vlk("-M -i k.lsc -o cr.s19 m1.o09 m2.o09"), 0) << err;
  EXPECT_EQ(read("cr.s19"), read("lf.s19"));
  std::string map = read("cr.map");
  EXPECT_NE(map.find("TARGET MEMORY DEFINITIONS\n 00004000 - 00004FFF"), std::string::npos) << map;
  EXPECT_NE(map.find("PROGRAM ENTRY:'start'"), std::string::npos) << map;
}

TEST_F(VlkRobust, OutputsThatCannotBeWrittenOrNameInputs) {
  EXPECT_EQ(vlk("-r -o m1.o09 m1.o09 m2.o09"), 1);
  EXPECT_EQ(err, "Fatal Error: can't create output 'm1.o09': it is an input of this run\n");
  EXPECT_EQ(read("m1.o09"), read(kGolden + "m1.o09"));
  EXPECT_EQ(vlk("-R text:0 -m m2.o09 -o p.s19 m1.o09 m2.o09"), 1);
  EXPECT_EQ(read("m2.o09"), read(kGolden + "m2.o09"));
  // A device stays a device (as root the old code replaced it).
  EXPECT_EQ(vlk("-R text:0 -o /dev/null m1.o09 m2.o09"), 0) << err;
  struct stat st;
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  // A full disk: an error that names the file and the reason, no output
  // and no temporary left.
  std::string objects;
  for (int i = 0; i < 60; ++i) {
    std::string name = "big" + std::to_string(i) + ".o09";
    std::string text = "mod:big" + std::to_string(i) + ":O09:" + name + "\nseg:text:0x400\n";
    for (int k = 0; k < 64; ++k) text += "C:text\t" + std::string(32, 'A') + "\n";
    write(name, text + "e\n");
    objects += " " + name;
  }
  auto r = run_in(fs::current_path(), file_size_limit(16) + "\"$BIN/vlk\" -R text:0 -o p.s19" + objects);
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("Error: can't write 'p.s19': File too large"), std::string::npos) << r.err;
  EXPECT_FALSE(exists("p.s19"));
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
  r = run_in(fs::current_path(), file_size_limit(16) + "\"$BIN/vlk\" -Ac -o lib.e09" + objects);
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("Error: can't write 'lib.e09': File too large"), std::string::npos) << r.err;
  EXPECT_FALSE(exists("lib.e09"));
  // No writable current directory: nothing is made there any more.
  fs::create_directory("gone");
  r = run_in(fs::current_path(), "cd gone && rmdir ../gone && \"$BIN/vlk\" -R text:0 -o '" +
                                     (fs::current_path() / "q.s19").string() + "' ../m1.o09 ../m2.o09");
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(exists("q.s19"));
}

}  // namespace
}  // namespace zun::vlk::test
