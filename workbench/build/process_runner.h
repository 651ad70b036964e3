// The way the make engine and the build runners start programs. The
// workbench implements it over QProcess (tool_runner.h), the headless build
// with vfork and exec (spawn_runner.h), tests with fakes that record what
// they were asked to run. A child never outlives the process that started it.
#pragma once

#include <string>

#include "workbench/core/workbench_core.h"

namespace zun::wb {

// Results of a run besides the child's own exit code (0-255): run_no_pipe,
// run_not_started and run_abnormal_end (workbench_core.h), and this one.
inline constexpr int run_cancelled = -4;  // stopped by the user; the child was ended

// Stop asks the child's process group to end (SIGTERM), so that the tools can
// remove their temporary files, and kills it (SIGKILL) when it is still
// there after this time.
inline constexpr int stop_grace_ms = 2000;

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // Runs a command line (split like the original platform's C runtime does,
  // never through a shell) with its output going to the runner's sink;
  // returns the exit code or one of the negative run_* results.
  virtual int run_process(const std::string& command_line) = 0;
  // A program of the program directory, with `caption` shown while it runs.
  virtual int run_tool(const std::string& bin_dir, const std::string& program, const std::string& args,
                       const std::string& caption) {
    return run_process(tool_command_line(bin_dir, program, args));
  }
  // Ends the running child (SIGTERM, then SIGKILL after stop_grace_ms),
  // whose run then returns run_cancelled. Without a running child nothing
  // happens.
  virtual void stop() = 0;
};

}  // namespace zun::wb
