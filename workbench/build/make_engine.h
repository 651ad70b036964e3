// The workbench's own make program and the build runners behind its built-in
// command words. `make` reads project makefiles (configuration blocks,
// macros, inference rules), compares file times and runs the commands of the
// out-of-date targets: COMP, ASSM and LINK drive cpp, tcx09, hasm09 and vlk,
// RMFI removes a file, anything else is started as an outside program.
// Everything a run needs comes in through a MakeContext; nothing of a run
// outlives it. Standard C++ only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "workbench/build/process_runner.h"

namespace zun::wb {

// File times, removal and renaming as the build sees them. The default is the
// file system itself (paths may use '\' or '/'); tests override single calls.
class BuildFiles {
 public:
  virtual ~BuildFiles() = default;
  // Modification time in nanoseconds, as exact as the file system keeps it;
  // 0 when there is no such file.
  virtual int64_t file_time(const std::string& path);
  virtual int64_t now();
  virtual bool exists(const std::string& path);
  // False when the file is still there afterwards.
  virtual bool remove(const std::string& path);
  // Replaces `to` when it exists.
  virtual bool rename(const std::string& from, const std::string& to);
};

using OutputSink = std::function<void(std::string_view)>;

// What a build command hands to the engine; the force flag is the caller's
// and keeps its value across runs.
struct MakeContext {
  bool force = false;          // rebuild all: every target with dependencies is remade
  OutputSink out;              // the output window
  ProcessRunner* runner = nullptr;
  BuildFiles* files = nullptr;  // null: the file system
  std::string program_dir;     // where cpp, tcx09, hasm09 and vlk are
  std::string project_dir;     // the current directory during a build
};

struct MakeResult {
  int result = 0;           // 1: every goal processed; 0: the run stopped or a goal was up to date
  int errors = 0;           // the error count of the run
  bool stopped = false;     // a fatal error, a failed command or a cancel ended it
  bool cancelled = false;   // the user stopped a running tool
  bool up_to_date = false;  // it ended at a goal that was already up to date
  // What the command-line make reports as failure.
  bool failed() const { return errors != 0 || stopped || (result == 0 && !up_to_date); }
};

// argv[0] is ignored ("make" or "Make"); the current directory is the
// project directory.
MakeResult make(MakeContext& ctx, const std::vector<std::string>& args);

// ---- build runners (build_runners.cpp) ----
// Each takes the text behind its command word and returns 0 for success,
// else a positive count, the failing program's exit code or a run_* result.
int run_comp(MakeContext& ctx, std::string_view text);
int run_assm(MakeContext& ctx, std::string_view text);
int run_link(MakeContext& ctx, std::string_view text);

// One tool's option text: each item as separately double-quoted arguments.
class OptionText {
 public:
  static constexpr size_t capacity = 2048;  // including the end of the text
  // Appends the quoted form of the item that starts at `item` (its '-');
  // returns where the item ends. An item that does not fit is dropped and
  // marks the text as overflowed.
  const char* add_opt(const char* item);
  void add_opt(const std::string& item) { add_opt(item.c_str()); }
  const std::string& text() const { return text_; }
  bool overflowed() const { return overflowed_; }

 private:
  std::string text_;
  bool overflowed_ = false;
};

}  // namespace zun::wb
