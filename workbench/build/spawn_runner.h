// The headless process runner: vfork and exec with standard input at end of
// file and standard output and error merged into one pipe, copied to the
// sink as the child writes; the child dies with the runner's process. Used
// by the command-line make (zmake), zbuild and tests.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "workbench/build/process_runner.h"

namespace zun::wb {

class SpawnRunner : public ProcessRunner {
 public:
  using Sink = std::function<void(std::string_view)>;
  // A program named without a directory is looked for in `program_dir`
  // first, then along PATH.
  SpawnRunner(Sink output, std::string program_dir);

  int run_process(const std::string& command_line) override;
  // May be called from another thread or a signal handler.
  void stop() override;
  // Stops the running child and refuses every later run (run_cancelled):
  // the program is to end. Safe in a signal handler.
  void shut_down();

 private:
  std::string resolve(const std::string& program) const;
  void kill_when_due(pid_t pid);
  Sink output_;
  std::string program_dir_;
  std::atomic<pid_t> child_{0};
  std::atomic<bool> stop_requested_{false};
  std::atomic<int64_t> kill_at_{0};  // steady-clock milliseconds; 0: no stop asked, -1: killed
  std::atomic<bool> shut_down_{false};
};

// For a program whose work runs through `runner` (zbuild, zmake): the first
// SIGTERM, SIGINT or SIGHUP shuts the runner down, so that the work ends in
// order and removes its temporaries; end_as_requested() (common/termination.h)
// then ends the program by that signal. A second signal ends it at once.
void shut_down_on_termination(SpawnRunner& runner);

}  // namespace zun::wb
