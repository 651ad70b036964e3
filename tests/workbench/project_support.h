// Test support for projects and workspaces: a scratch directory per test, a
// host that records every message, and a small installation (program
// directory with the startup file and a standard header) to build projects
// against.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "workbench/project/project_session.h"

namespace zun::wb::test {

namespace fs = std::filesystem;

struct RecordingHost : SessionHost {
  std::vector<std::string> errors, statuses, opened;
  std::string output;
  bool remove_missing = false;
  void error(const std::string& text) override { errors.push_back(text); }
  void warning(const std::string& text) override { errors.push_back(text); }
  void status(const std::string& text) override { statuses.push_back(text); }
  void out(std::string_view text) override { output += text; }
  void clear_output() override { output.clear(); }
  void open_editor(const std::string& path) override { opened.push_back(path); }
  bool remove_missing_files(const std::vector<std::string>&) override { return remove_missing; }
};

class ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "zprojXXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    root_ = tmpl;
    old_dir_ = fs::current_path();
    bin_ = root_ + "/tools/bin";
    put(root_ + "/tools/src/startup/zun09/_startup.s09", "\tSEGMENT\ttext\n");
    put(root_ + "/tools/include/ky09.h", "#define KY09 1\n");
    fs::create_directories(bin_);
  }
  void TearDown() override {
    fs::current_path(old_dir_);
    fs::remove_all(root_);
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
  static std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
  }
  // Files left anywhere below the scratch directory whose names begin with
  // one of the temporary-file prefixes.
  std::vector<std::string> temporaries() const {
    std::vector<std::string> left;
    for (const auto& e : fs::recursive_directory_iterator(root_)) {
      std::string name = e.path().filename().string();
      for (const char* prefix : {"C1", "C2", "C3", "M1"})
        if (name.rfind(prefix, 0) == 0 && name.size() == 8) left.push_back(e.path().string());
    }
    return left;
  }

  // A new executable project in <root>/<name>/<name>.m09 with the defaults.
  Project new_project(const std::string& name) {
    Project p;
    p.program_dir = bin_;
    p.set_path(root_ + "/" + name + "/" + name + ".m09");
    p.new_project_defaults(project_type::executable);
    p.open = true;
    return p;
  }

  std::string root_, bin_;
  fs::path old_dir_;
  RecordingHost host;
};

}  // namespace zun::wb::test
