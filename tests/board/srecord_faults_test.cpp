// run09 with damaged load files: each fault is named with its line, a file
// that is no file is refused at once, and any line end is taken.
#include "debugger/engine/engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace zun {
namespace {

class QuietIo : public Run09Io {
public:
  void out(std::string_view bytes) override { stdout_text += bytes; }
  void err(std::string_view text) override { stderr_text += text; }
  bool poll_input(std::string&) override { return false; }
  std::string stdout_text, stderr_text;
};

std::string run(const std::string& records) {
  // CTest runs the tests of this file in parallel processes: one name each.
  auto path = (std::filesystem::temp_directory_path() /
               ("zun_srec_fault_" + std::to_string(::getpid()) + ".s19")).generic_string();
  std::ofstream(path, std::ios::binary) << records;
  Run09Options o;
  o.file = path;
  o.max = 1000;
  QuietIo io;
  run09(o, io);
  std::filesystem::remove(path);
  std::string prefix = "run09: can't load '" + path + "': ";
  size_t at = io.stderr_text.find(prefix);
  return at == std::string::npos ? io.stderr_text : io.stderr_text.substr(at + prefix.size());
}

TEST(Run09Load, MalformedRecordsAreNamedWithTheirLine) {
  const std::string good = "S1041000AA41\n";
  EXPECT_EQ(run(good + "S1051000AABB\n"), "line 2: bad count\n");          // shorter than its count
  EXPECT_EQ(run(good + "S1021000\n"), "line 2: bad count\n");              // no room for a checksum
  EXPECT_EQ(run(good + good + "S1041000A\n"), "line 3: odd length\n");
  EXPECT_EQ(run("S1041000AX41\n"), "line 1: non-hex digits in the data\n");
  EXPECT_EQ(run("S1G41000AA41\n"), "line 1: non-hex digits in the count\n");
  EXPECT_EQ(run("S104Z000AA41\n"), "line 1: non-hex digits in the address\n");
  EXPECT_EQ(run(good + "S5030001FB\n"), "line 2: unknown record type 'S5'\n");
  EXPECT_EQ(run("\n:10000000\n"), "line 2: not an S-record\n");
  EXPECT_EQ(run("S104E020AA51\n"), "line 1: the simulator memory refused the write\n");
  EXPECT_EQ(run(good + "S1061000860120FEB1\n"), "line 2: bad count\n");
  EXPECT_EQ(run(good + "S1041000AB41\n"), "line 2: bad checksum\n");
  // Megabytes without a line end do not grow without bound either.
  EXPECT_EQ(run(std::string(17 << 20, 'S')), "line 1: the line is longer than 16777216 characters\n");
}

TEST(Run09Load, AnyLineEndAndNoDeviceFiles) {
  // CR-only records load (the program spins until the instruction limit).
  EXPECT_EQ(run("S10610007E10005B\rS9031000EC\r").find("can't load"), std::string::npos);
  Run09Options o;
  o.file = "/dev/zero";
  QuietIo io;
  EXPECT_EQ(run09(o, io), 1);
  EXPECT_EQ(io.stderr_text, "run09: can't open '/dev/zero'\n");
}

}  // namespace
}  // namespace zun
