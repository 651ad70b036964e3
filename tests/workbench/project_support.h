// Test support for projects and workspaces: a scratch directory per test, a
// host that records every message, and a small installation (program
// directory with the startup file and a standard header) to build projects
// against.
#pragma once

#include <deque>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tests/tools/tool_run.h"
#include "tests/workbench/make_support.h"
#include "workbench/project/project_session.h"

namespace zun::wb {

// Readable failures for the project's records.
inline void PrintTo(const ProjectFile& f, std::ostream* os) {
  *os << "{" << f.path << " [" << f.rel_dir.value_or("(none)") << "] " << f.name << " <" << f.options << "> "
      << f.flags << "}";
}
inline void PrintTo(const ProjectConfig& c, std::ostream* os) {
  *os << "{type " << c.type << " id " << c.id << " otype " << c.output_type << " inc " << c.std_include << " lib "
      << c.std_library << " start " << c.use_startup << " <" << c.name << "> <" << c.target_name << "> <"
      << c.obj_dir << "> <" << c.targ_dir << "> <" << c.asflags << "> <" << c.ccflags << "> <" << c.lnflags
      << "> <" << c.crt0 << ">";
  for (const auto& list : c.lists) {
    *os << " [";
    for (const std::string& item : list) *os << "<" << item << ">";
    *os << "]";
  }
  *os << "}";
}

}  // namespace zun::wb

namespace zun::wb::test {

using zun::test::snapshot;

struct RecordingHost : SessionHost {
  std::vector<std::string> errors, statuses, opened, questions;
  std::deque<bool> answers;  // to the questions, in turn; No when none is left
  std::string output;
  bool remove_missing = false;
  void error(const std::string& text) override { errors.push_back(text); }
  bool question(const std::string& text) override {
    questions.push_back(text);
    bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return yes;
  }
  void warning(const std::string& text) override { errors.push_back(text); }
  void status(const std::string& text) override { statuses.push_back(text); }
  void out(std::string_view text) override { output += text; }
  void clear_output() override { output.clear(); }
  void open_editor(const std::string& path) override { opened.push_back(path); }
  bool remove_missing_files(const std::vector<std::string>&) override { return remove_missing; }
};

// A scratch directory (current while the test runs) with the installation.
class ProjectTest : public MakeTest {
 protected:
  void SetUp() override {
    MakeTest::SetUp();
    root_ = dir_.string();
    bin_ = root_ + "/tools/bin";
    put(root_ + "/tools/src/startup/zun09/_startup.s09", "\tSEGMENT\ttext\n");
    put(root_ + "/tools/include/ky09.h", "#define KY09 1\n");
    fs::create_directories(bin_);
  }

  static std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
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
  RecordingHost host;
};

}  // namespace zun::wb::test
