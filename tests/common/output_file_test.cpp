// Outputs that are complete or absent, and inputs that end: the shared file
// helpers every tool writes and reads through.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/line_reader.h"
#include "common/output_file.h"
#include "tests/tools/tool_run.h"

namespace zun {
namespace {

namespace fs = std::filesystem;
using test::read_whole;

class OutputFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return (dir / name).string(); }
  void put(const std::string& name, const std::string& text) const {
    std::ofstream(dir / name, std::ios::binary) << text;
  }
  // Names in the folder other than the ones a test made: temporaries left.
  size_t entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }
  zun::test::TempDir scratch;
  const fs::path& dir = scratch.path;
};

TEST_F(OutputFileTest, OnlyACompleteOutputReplacesTheOldOne) {
  put("out", "old");
  fs::permissions(path("out"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  {
    OutputFile f;
    ASSERT_TRUE(f.open(path("out"), "tt"));
    EXPECT_TRUE(f.write(std::string(200000, 'x')));
    EXPECT_EQ(read_whole(path("out")), "old");  // nothing shows before the commit
  }                                              // abandoned: the old text stays
  EXPECT_EQ(read_whole(path("out")), "old");
  EXPECT_EQ(entries(), 1u);
  OutputFile f;
  ASSERT_TRUE(f.open(path("out"), "tt"));
  f.write("new\n");
  ASSERT_TRUE(f.commit()) << f.error();
  EXPECT_EQ(read_whole(path("out")), "new\n");
  EXPECT_EQ(fs::status(path("out")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(entries(), 1u);
  // A directory is no output; a missing directory gives the system's reason.
  fs::create_directory(dir / "sub");
  EXPECT_FALSE(f.open(path("sub"), "tt"));
  EXPECT_EQ(f.error(), "Is a directory");
  EXPECT_FALSE(f.open(path("none/out"), "tt"));
  EXPECT_EQ(f.error(), "No such file or directory");
}

TEST_F(OutputFileTest, FullDiskLeavesTheOldOutputAndNoTemporary) {
  put("out", "old");
  // The limit would hold for the whole test program: it goes to a child.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ignore_file_size_signal();
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    OutputFile f;
    bool opened = f.open(path("out"), "tt");
    bool written = f.write(std::string(100000, 'x'));
    bool committed = f.commit();
    _exit(opened && !written && !committed && f.error() == "File too large" ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(read_whole(path("out")), "old");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(OutputFileTest, DevicesAndFifosAreWrittenThroughLinksFollowed) {
  std::string reason;
  ASSERT_TRUE(write_output_file("/dev/null", "gone", "tt", reason)) << reason;
  struct stat st;
  ASSERT_EQ(stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = read_whole(path("fifo")); });
  EXPECT_TRUE(write_output_file(path("fifo"), "through the pipe", "tt", reason)) << reason;
  reader.join();
  EXPECT_EQ(received, "through the pipe");
  ASSERT_EQ(stat(path("fifo").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  fs::create_directory(dir / "real");
  put("real/target", "old");
  fs::create_symlink("real/target", dir / "link");
  fs::create_symlink("real/later", dir / "dangling");
  ASSERT_TRUE(write_output_file(path("link"), "new", "tt", reason)) << reason;
  ASSERT_TRUE(write_output_file(path("dangling"), "made", "tt", reason)) << reason;
  EXPECT_TRUE(fs::is_symlink(dir / "link"));
  EXPECT_EQ(read_whole(path("real/target")), "new");
  EXPECT_EQ(read_whole(path("real/later")), "made");
}

TEST_F(OutputFileTest, NoCurrentDirectoryIsNeeded) {
  // A current directory that no longer exists cannot take a file, not even
  // for root; the output's own directory is used.
  fs::create_directory(dir / "gone");
  fs::path saved = fs::current_path();
  fs::current_path(dir / "gone");
  fs::remove(dir / "gone");
  std::string reason;
  bool ok = write_output_file(path("out"), "text", "tt", reason);
  fs::current_path(saved);
  EXPECT_TRUE(ok) << reason;
  EXPECT_EQ(read_whole(path("out")), "text");
}

TEST_F(OutputFileTest, ReadersEndLinesAnywayAndStopAtTheLimit) {
  put("text", "a\rb\r\nc\n" + std::string(5000, 'x') + "\nd");
  std::string reason;
  std::FILE* f = open_input_file(path("text"), reason);
  ASSERT_NE(f, nullptr) << reason;
  std::string line;
  EXPECT_EQ(read_line(f, line, 100), LineStatus::Line);
  EXPECT_EQ(line, "a");
  EXPECT_EQ(read_line(f, line, 100), LineStatus::Line);
  EXPECT_EQ(line, "b");
  EXPECT_EQ(read_line(f, line, 100), LineStatus::Line);
  EXPECT_EQ(line, "c");
  EXPECT_EQ(read_line(f, line, 100), LineStatus::TooLong);
  EXPECT_EQ(line.size(), 100u);
  std::fclose(f);
  f = open_input_file(path("text"), reason);
  std::vector<std::string> lines;
  EXPECT_EQ(read_lines(f, lines, 100), LineStatus::TooLong);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c"}));
  std::fclose(f);
  // Only regular files are read: a directory, a device, a FIFO never end or block.
  EXPECT_EQ(open_input_file(dir.string(), reason), nullptr);
  EXPECT_EQ(reason, "is a directory");
  EXPECT_EQ(open_input_file("/dev/zero", reason), nullptr);
  EXPECT_EQ(reason, "is not a regular file");
  ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(open_input_file(path("fifo"), reason), nullptr);
}

}  // namespace
}  // namespace zun
