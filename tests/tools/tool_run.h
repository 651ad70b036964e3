// Runs a staged program through bash, so that a test can put it in the
// situations of a real build gone wrong: a full disk (a file-size limit), a
// run killed halfway, a current directory that no longer exists.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace zun::test {

struct ToolRun {
  int rc = -1;  // exit code; 128 + the signal for a run the system ended
  std::string out, err;
};

inline std::string read_whole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Every regular file below a folder with its bytes, to compare a tree before
// and after.
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files[e.path().string()] = read_whole(e.path());
  return files;
}

// A directory of its own for a test, removed with it.
struct TempDir {
  TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "zun_test_XXXXXX").string();
    path = mkdtemp(templ.data());
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path path;
};

// The staged program directory, from the environment CTest gives the tests.
inline std::string stage_bin() {
  const char* stage = std::getenv("ZUN_STAGE");
  return stage ? std::string(stage) + "/bin" : std::string("stage/bin");
}

// Runs `script` (bash) in `dir`; $BIN is the staged program directory.
inline ToolRun run_in(const std::filesystem::path& dir, const std::string& script) {
  std::filesystem::path file = dir / ".run.sh";
  std::ofstream(file) << "BIN='" << stage_bin() << "'\ncd '" << dir.string() << "' || exit 99\n"
                      << script << "\n";
  std::string command = "bash '" + file.string() + "' >'" + (dir / ".out").string() + "' 2>'" +
                        (dir / ".err").string() + "' </dev/null";
  int status = std::system(command.c_str());
  ToolRun r;
  r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = read_whole(dir / ".out");
  r.err = read_whole(dir / ".err");
  std::filesystem::remove(file);
  std::filesystem::remove(dir / ".out");
  std::filesystem::remove(dir / ".err");
  return r;
}

// A prefix for a command that may write at most `kib` KiB per file: its
// writes beyond fail as on a full disk.
inline std::string file_size_limit(int kib) {
  return "trap '' XFSZ; ulimit -f " + std::to_string(kib) + "; ";
}

}  // namespace zun::test
