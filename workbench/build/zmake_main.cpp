// zmake: the workbench's make engine on the command line, a test tool.
//   zmake ARGS...   runs make with "make" and ARGS in the current directory
// The tools are found beside zmake; the output window's text goes to
// standard output. Exit status 1 when the run reported errors or stopped. A
// SIGTERM, SIGINT or SIGHUP stops the running tool, lets the build end in
// order and then ends zmake by that signal.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/termination.h"
#include "workbench/build/make_engine.h"
#include "workbench/build/spawn_runner.h"

int main(int argc, char** argv) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  std::string program_dir = ec ? std::string(".") : self.parent_path().string();
  auto out = [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  };
  zun::wb::SpawnRunner runner(out, program_dir);
  zun::wb::shut_down_on_termination(runner);

  zun::wb::MakeContext ctx;
  ctx.out = out;
  ctx.runner = &runner;
  ctx.program_dir = program_dir;
  ctx.project_dir = std::filesystem::current_path(ec).string();
  std::vector<std::string> args{"make"};
  args.insert(args.end(), argv + 1, argv + argc);
  zun::wb::MakeResult r = zun::wb::make(ctx, args);
  zun::end_as_requested();
  return r.failed() ? 1 : 0;
}
