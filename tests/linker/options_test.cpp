// The command line: usage, option letters, values, names and exit codes.
#include <sys/stat.h>

#include "tests/linker/vlk_fixture.h"

namespace zun::vlk::test {
namespace {

const char* kSmall =
    "mod:small:O09:small.o09\n"
    "seg:text:5\n"
    "C:text\t0102030405\n"
    "G:text:small:00000000:start\n"
    "e\n";

class VlkOptions : public VlkTest {
 protected:
  void SetUp() override {
    VlkTest::SetUp();
    write("small.o09", kSmall);
  }
};

TEST_F(VlkOptions, NoArgumentsPrintsUsageAndExitsOne) {
  EXPECT_EQ(vlk(""), 1);
  EXPECT_TRUE(out.starts_with("vlk Version 4.8.1\n"));
  EXPECT_NE(out.find("\tusage: vlk <options> <filename(s)>\n\n"), std::string::npos);
  EXPECT_NE(out.find("\t\tdefault loader output is \"somevlkoutname.s19 (.ihx)\"\n\n"), std::string::npos);
  EXPECT_TRUE(out.ends_with("\t-hb Banked address translation\n\t-----------------------------\n"));
  EXPECT_EQ(err, "");
}

TEST_F(VlkOptions, FatalStartProblems) {
  EXPECT_EQ(vlk("-o x.s19"), 1);
  EXPECT_EQ(err, "Fatal Error: File name(s) are missing\n");
  EXPECT_EQ(vlk("-i"), 1);
  EXPECT_EQ(err, "Fatal Error: option '-i' needs a value\n");
  EXPECT_EQ(vlk("small.o09 -o"), 1) << "after the first file name everything is a file name";
  EXPECT_EQ(err, "Fatal Error: can't open '-o'\n");
  EXPECT_EQ(vlk("-o a.s19 -ob.s19 small.o09"), 1);
  EXPECT_EQ(err, "Fatal Error: cannot install multiple output files\n");
  EXPECT_EQ(vlk("missing.o09"), 1);
  EXPECT_EQ(err, "Fatal Error: can't open 'missing.o09'\n");
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

TEST_F(VlkOptions, LettersAndValues) {
  EXPECT_EQ(vlk("-gzq -r small.o09"), 0);
  EXPECT_EQ(err, "Warning: unknown option 'zq', ignored\nWarning: unknown option 'q', ignored\n");
  EXPECT_TRUE(exists("somevlkoutname.vlk"));
  EXPECT_EQ(vlk("-Ax -hq small.o09"), 0);
  EXPECT_EQ(err,
            "Warning: unknown Archive-option 'x', ignored\n"
            "Warning: unknown option 'hq', ignored\n"
            "Warning: unknown option 'q', ignored\n");
  EXPECT_TRUE(exists("somevlkoutname.s19"));
  EXPECT_EQ(vlk("-gv - -ofile.s19 small.o09"), 0);
  EXPECT_EQ(out,
            "VLK - I'm now very verbose...\n"
            "Executable output\nPreserving debug info\nInstalling outfile 'file.s19'\n"
            "Emit 'text' at 00000000, size = 0006\n");
  EXPECT_TRUE(exists("file.s19"));
}

TEST_F(VlkOptions, ArchiveOptionEndsTheArgument) {
  write("dbg.o09", std::string(kSmall).insert(std::string(kSmall).size() - 2, "SY:A:M:small$src/small.s09\n"));
  EXPECT_EQ(vlk("-Acg -o lib.e09 dbg.o09"), 0);
  EXPECT_EQ(read("lib.e09"), std::string("A\n") + kSmall + "E\n") << "the g after -Ac is not read";
}

TEST_F(VlkOptions, MapFileNames) {
  std::filesystem::create_directory("out");
  EXPECT_EQ(vlk("-M -o out/prog.s19 small.o09"), 0);
  EXPECT_TRUE(exists("prog.map")) << "the map takes the output's base name, without its folder";
  EXPECT_TRUE(read("prog.map").starts_with("VLK (Version 4.8.1)- Link/Load Summary: 'out/prog.s19'"));
  EXPECT_EQ(vlk("-m a.map -M -o p.s19 small.o09"), 0);
  EXPECT_EQ(err, "Warning: -m and -M flags seen, extra option ignored\n");
  EXPECT_TRUE(exists("a.map"));
  EXPECT_FALSE(exists("p.map"));
  EXPECT_TRUE(read("a.map").ends_with("\n---\n End of listfile\n"));
}

TEST_F(VlkOptions, SameObjectTwiceLinksOnceAndOddSizeIsPadded) {
  EXPECT_EQ(vlk("-o p.s19 small.o09 small.o09"), 0);
  EXPECT_EQ(err, "");
  EXPECT_EQ(read("p.s19"), "S0030000FC\nS1090000010203040500E7\nS9030000FC\n");
}

TEST_F(VlkOptions, ErrorsDeleteTheOutputAndCountInTheExitCode) {
  write("bad.o09",
        "mod:bad:O09:bad.o09\nseg:text:4\nC:text\t00000000\n"
        "RL:text:bad:0000000Z:O:W:00000000:text:1\nRL:text:bad:00000002:Q:W:00000000:text:2\ne\n");
  write("p.s19", "old");
  EXPECT_EQ(vlk("-o p.s19 bad.o09"), 2);
  EXPECT_EQ(err,
            "Error: unreadable relocation command ':text:bad:0000000Z:O:W:00000000:text:1'\n"
            "Error: unreadable relocation command ':text:bad:00000002:Q:W:00000000:text:2'\n");
  EXPECT_FALSE(exists("p.s19"));
  EXPECT_EQ(vlk("-r -o p.o09 bad.o09"), 2);
  EXPECT_FALSE(exists("p.o09"));
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
}

// The temporaries live in the current directory; the output may be on
// another file system, where a rename cannot reach it.
TEST_F(VlkOptions, OutputOnAnotherFileSystem) {
  struct stat here {}, there {};
  if (stat(".", &here) != 0 || stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev)
    GTEST_SKIP() << "no second file system at /dev/shm";
  std::string stem = "/dev/shm/" + std::filesystem::path(dir_).filename().string();
  EXPECT_EQ(vlk("-o " + stem + ".s19 small.o09"), 0) << err;
  EXPECT_EQ(read(stem + ".s19"), "S0030000FC\nS1090000010203040500E7\nS9030000FC\n");
  EXPECT_EQ(vlk("-r -o " + stem + ".vlk small.o09"), 0) << err;
  EXPECT_TRUE(read(stem + ".vlk").starts_with("mod:"));
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
  std::filesystem::remove(stem + ".s19");
  std::filesystem::remove(stem + ".vlk");
}

TEST_F(VlkOptions, ManyErrorsCapTheExitCode) {
  std::string text = "mod:bad:O09:bad.o09\nseg:text:2\nC:text\t0000\n";
  for (int i = 0; i < 300; ++i) text += "RL:text:bad:00000000:O:W:00000000:nowhere\n";
  write("bad.o09", text + "e\n");
  EXPECT_EQ(vlk("bad.o09"), 255);
}

}  // namespace
}  // namespace zun::vlk::test
