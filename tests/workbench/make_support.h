// Test support for the make engine: a scratch directory that is the current
// directory while a test runs, a process runner that records what it was
// asked to run and plays the tools, and file times from a table.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/cmdline.h"
#include "workbench/build/make_engine.h"

namespace zun::wb::test {

namespace fs = std::filesystem;

struct FakeRunner : ProcessRunner {
  struct Call {
    std::string line;     // the command line as given
    std::string program;  // without directory and ".exe"
    std::vector<std::string> args;
    std::string caption;
  };
  std::vector<Call> calls;
  // Plays the program; the default succeeds without doing anything.
  std::function<int(const Call&)> act;

  int run_process(const std::string& line) override {
    std::optional<ToolCommand> tc = split_tool_command(line);
    calls.push_back({line, tc ? program_name(tc->program) : "", tc ? tc->args : std::vector<std::string>{},
                     caption_});
    return act ? act(calls.back()) : 0;
  }
  int run_tool(const std::string& bin_dir, const std::string& program, const std::string& args,
               const std::string& caption) override {
    caption_ = caption;
    int rc = ProcessRunner::run_tool(bin_dir, program, args, caption);
    caption_.clear();
    return rc;
  }
  void stop() override {}
  std::vector<std::string> programs() const {
    std::vector<std::string> names;
    for (const Call& c : calls) names.push_back(c.program);
    return names;
  }

 private:
  std::string caption_;
};

// Times of the files named in `times`; other files come from the disk.
struct FakeTimes : BuildFiles {
  std::map<std::string, int64_t> times;
  int64_t clock = 5000;
  bool refuse_removal = false;
  int64_t file_time(const std::string& path) override {
    auto it = times.find(path);
    return it != times.end() ? it->second : BuildFiles::file_time(path);
  }
  int64_t now() override { return clock; }
  bool exists(const std::string& path) override {
    auto it = times.find(path);
    return it != times.end() ? it->second != 0 : BuildFiles::exists(path);
  }
  bool remove(const std::string& path) override { return !refuse_removal && BuildFiles::remove(path); }
};

class MakeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = fs::current_path();
    std::string tmpl = (fs::temp_directory_path() / "zmakeXXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_dir_);
    fs::remove_all(dir_);
  }

  static void put(const std::string& name, const std::string& text) {
    fs::path p(name);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream(name, std::ios::binary) << text;
  }
  static std::string slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static bool exists(const std::string& name) { return fs::exists(name); }
  // Names left from the compile chain's and the project writer's temporary files.
  static std::vector<std::string> temporaries() {
    std::vector<std::string> left;
    for (const auto& e : fs::recursive_directory_iterator("."))
      for (const char* prefix : {"C1", "C2", "C3", "M1"})
        if (e.path().filename().string().rfind(prefix, 0) == 0 && e.path().filename().string().size() == 8)
          left.push_back(e.path().string());
    return left;
  }

  // One make run with "make" in front of the arguments.
  MakeResult run_make(std::vector<std::string> args) {
    out.clear();
    MakeContext ctx;
    ctx.force = force;
    ctx.out = [this](std::string_view text) { out += text; };
    ctx.runner = &runner;
    ctx.files = &files;
    ctx.program_dir = "/opt/zun/bin";
    ctx.project_dir = dir_.string();
    args.insert(args.begin(), "make");
    return make(ctx, args);
  }
  MakeContext runner_context() {
    MakeContext ctx;
    ctx.out = [this](std::string_view text) { out += text; };
    ctx.runner = &runner;
    ctx.program_dir = "/opt/zun/bin";
    ctx.project_dir = dir_.string();
    return ctx;
  }
  bool printed(const std::string& text) const { return out.find(text) != std::string::npos; }

  fs::path dir_, old_dir_;
  FakeRunner runner;
  FakeTimes files;
  bool force = false;
  std::string out;
};

}  // namespace zun::wb::test
