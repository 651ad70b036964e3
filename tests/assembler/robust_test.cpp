// hasm09 under the conditions of a real build gone wrong: a full disk, a
// killed run, outputs that name inputs or devices, no writable current
// directory, CR-only sources, lines without end and thousands of segments.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "asm_support.h"
#include "tests/tools/tool_run.h"

namespace zun::hasm::test {
namespace {

namespace fs = std::filesystem;
using zun::test::file_size_limit;
using zun::test::read_whole;
using zun::test::run_in;

class Hasm09Robust : public ::testing::Test {
 protected:
  void put(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
  }
  std::vector<std::string> leftovers() {
    std::vector<std::string> found;
    for (auto& e : fs::directory_iterator(dir)) {
      std::string name = e.path().filename().string();
      if (name.size() == 7 && name[0] == 'R') found.push_back(name);
    }
    return found;
  }
  zun::test::TempDir scratch;
  const fs::path& dir = scratch.path;
};

// About 20 KB of object text.
std::string big_source() {
  std::string s;
  for (int i = 0; i < 600; ++i) s += " fcb 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\n";
  return s;
}

TEST_F(Hasm09Robust, FullDiskAndKilledRunLeaveTheOldOutput) {
  put("t.s09", big_source());
  put("t.o09", "old object\n");
  auto r = run_in(dir, file_size_limit(8) + "\"$BIN/hasm09\" -L t.s09");
  EXPECT_NE(r.rc, 0);
  EXPECT_NE(r.out.find("HASM09: Can't write 't.o09': File too large"), std::string::npos) << r.out;
  EXPECT_EQ(read_whole(dir / "t.o09"), "old object\n");
  EXPECT_FALSE(fs::exists(dir / "t.lst"));
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
  // The same for an object named with -o.
  put("named.o09", "old named\n");
  r = run_in(dir, file_size_limit(8) + "\"$BIN/hasm09\" -o named.o09 t.s09");
  EXPECT_NE(r.rc, 0);
  EXPECT_NE(r.out.find("HASM09: Can't write 'named.o09': File too large"), std::string::npos) << r.out;
  EXPECT_EQ(read_whole(dir / "named.o09"), "old named\n");
  EXPECT_EQ(leftovers(), std::vector<std::string>{});
  // Killed at any moment, a run leaves the old object or a whole new one.
  std::string source;
  for (int i = 0; i < 40; ++i) source += big_source();
  put("t.s09", source);
  for (const char* delay : {"0", "0.02", "0.05", "0.1", "0.2"}) {
    r = run_in(dir, std::string("\"$BIN/hasm09\" t.s09 & sleep ") + delay + "; kill -9 $! 2>/dev/null; wait");
    std::string object = read_whole(dir / "t.o09");
    if (object != "old object\n") EXPECT_TRUE(object.ends_with("e\n")) << delay << ": " << object.size();
  }
  r = run_in(dir, "\"$BIN/hasm09\" t.s09");
  EXPECT_EQ(r.rc, 0) << r.out << r.err;
  EXPECT_TRUE(read_whole(dir / "t.o09").ends_with("e\n"));
}

TEST_F(Hasm09Robust, OutputsThatNameInputsOrDevices) {
  // -o naming an included file: refused before a byte is written.
  AsmRun r = assemble(" use inc.s09\n fcb 1\n", {"-o", "inc.s09"}, {{"inc.s09", " fcb 2\n"}});
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.out, "HASM09: Can't open 'inc.s09': it is an input of this run\n");
  EXPECT_EQ(r.object, " fcb 2\n");
  // A device is written through and stays a device; a link keeps pointing.
  put("t.s09", " fcb 1\n");
  fs::create_directory(dir / "objs");
  fs::create_symlink("objs/real.o09", dir / "t.o09");
  auto run = run_in(dir, "\"$BIN/hasm09\" -o /dev/null t.s09 && \"$BIN/hasm09\" t.s09");
  EXPECT_EQ(run.rc, 0) << run.out;
  struct stat st;
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_TRUE(fs::is_symlink(dir / "t.o09"));
  EXPECT_NE(read_whole(dir / "objs/real.o09").find("C:text\t01"), std::string::npos);
  // No writable current directory (it was removed): absolute names work.
  fs::create_directory(dir / "gone");
  run = run_in(dir, "cd gone && rmdir ../gone && \"$BIN/hasm09\" -o '" + (dir / "u.o09").string() +
                        "' '" + (dir / "t.s09").string() + "'");
  EXPECT_EQ(run.rc, 0) << run.out;
  EXPECT_TRUE(fs::exists(dir / "u.o09"));
  // Sources that are no files end at once with their name.
  EXPECT_EQ(assemble("", {"/dev/zero"}).out.find("HASM09: Can't open '/dev/zero'"), 0u);
}

TEST_F(Hasm09Robust, LineEndsAndLinesWithoutEnd) {
  AsmRun lf = assemble(" lda #1\nlab ldb #2\n fdb lab\n");
  AsmRun cr = assemble(" lda #1\rlab ldb #2\r fdb lab\r");
  EXPECT_EQ(cr.rc, 0) << cr.err;
  EXPECT_EQ(cr.object, lf.object);
  EXPECT_EQ(segment_bytes(cr.object, "text").size(), 6u);
  // A line of 2 MB (a binary file has no line ends) is an error at its line
  // and ends the file there; the run stays fast.
  auto started = std::chrono::steady_clock::now();
  AsmRun big = assemble(" fcb 1\n" + std::string(2 << 20, 'x') + "\n fcb 2\n");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(big.rc, 1);
  EXPECT_NE(big.err.find("\"t.s09\" (2): error: Line longer than the limit of 1048576 characters"),
            std::string::npos)
      << big.err.substr(0, 300);
  EXPECT_EQ(segment_bytes(big.object, "text"), hex_bytes("01"));
}

TEST_F(Hasm09Robust, OpenConditionalEndsWithItsFile) {
  // The #if left open in the include must not skip the including file.
  AsmRun r = assemble(" use inc.s09\n fcb 7\n", {"-w"}, {{"inc.s09", " fcb 1\n#ifdef NOPE\n fcb 2\n"}});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(segment_bytes(r.object, "text"), hex_bytes("01 07"));
  EXPECT_NE(r.err.find("inc.s09\" (2): warning: #if without #endif at the end of the file"), std::string::npos)
      << r.err;
}

TEST_F(Hasm09Robust, ThousandsOfSegments) {
  std::string source;
  for (int i = 0; i < 8000; ++i) source += " segment s" + std::to_string(i) + "\n fcb " + std::to_string(i % 256) + "\n";
  auto r = run_in(dir, "ulimit -n 64; cat > t.s09 <<'EOF'\n" + source + "EOF\n\"$BIN/hasm09\" t.s09");
  EXPECT_EQ(r.rc, 0) << r.out;
  std::string object = read_whole(dir / "t.o09");
  EXPECT_EQ(records(object, "seg:").size(), 8001u);
  EXPECT_EQ(records(object, "C:s7999\t").size(), 1u);
}

}  // namespace
}  // namespace zun::hasm::test
