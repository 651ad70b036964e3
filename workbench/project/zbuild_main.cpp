// zbuild: the workbench's build commands on a workspace, a test tool.
//   zbuild WORKSPACE.w09 [--project NAME] [--config Debug|Final] COMMAND
//   COMMAND: --build, --build-all, --clean, --make FILE or --update-deps
// The workspace is opened as the workbench opens it (the named or the first
// project active); the output window's text goes to standard output and
// message boxes to standard error. Exit status 0 when the run reported no
// error, else 1.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/termination.h"
#include "workbench/build/spawn_runner.h"
#include "workbench/project/project_session.h"

namespace {

using namespace zun::wb;

void print(std::FILE* to, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), to);
  std::fflush(to);
}

class ConsoleHost : public SessionHost {
 public:
  void error(const std::string& text) override { print(stderr, "zbuild: " + text + "\n"); }
  void warning(const std::string& text) override { print(stderr, "zbuild: " + text + "\n"); }
  void out(std::string_view text) override { print(stdout, text); }
};

constexpr const char* usage =
    "usage: zbuild WORKSPACE.w09 [--project NAME] [--config Debug|Final] "
    "--build | --build-all | --clean | --make FILE | --update-deps\n";

int fail_usage(const std::string& why) {
  print(stderr, "zbuild: " + why + "\n" + usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string workspace, project, config = "Debug", command, file;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool has_value = i + 1 < args.size();
    if ((a == "--project" || a == "--config" || a == "--make") && !has_value) return fail_usage(a + " needs a value");
    if (a == "--project") {
      project = args[++i];
    } else if (a == "--config") {
      config = args[++i];
      if (config != "Debug" && config != "Final") return fail_usage("unknown configuration '" + config + "'");
    } else if (a == "--make") {
      command = a;
      file = args[++i];
    } else if (a == "--build" || a == "--build-all" || a == "--clean" || a == "--update-deps") {
      command = a;
    } else if (!a.empty() && a[0] == '-') {
      return fail_usage("unknown option '" + a + "'");
    } else if (workspace.empty()) {
      workspace = a;
    } else {
      return fail_usage("more than one workspace");
    }
  }
  if (workspace.empty() || command.empty()) return fail_usage(workspace.empty() ? "no workspace" : "no command");

  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  std::string program_dir = ec ? std::string(".") : self.parent_path().string();
  // The file of --make is named from where zbuild was started.
  if (!file.empty()) file = std::filesystem::absolute(file, ec).string();

  ConsoleHost host;
  SpawnRunner runner([](std::string_view text) { print(stdout, text); }, program_dir);
  shut_down_on_termination(runner);
  ProjectSession session(host, program_dir);
  session.runner = &runner;
  session.set_config(config == "Final" ? config_id::final_ : config_id::debug);
  session.command_line(std::filesystem::absolute(workspace, ec).string());
  if (!session.workspace.open()) return 1;
  if (!project.empty() && !session.activate(project)) {
    print(stderr, "zbuild: no project '" + project + "' in the workspace\n");
    return 1;
  }
  if (!session.project.open) {
    print(stderr, "zbuild: no project is active\n");
    return 1;
  }

  bool ok = false;
  if (command == "--update-deps") {
    ok = session.update_dependencies();
  } else {
    BuildCommand which = command == "--build"       ? BuildCommand::Build
                         : command == "--build-all" ? BuildCommand::BuildAll
                         : command == "--clean"     ? BuildCommand::Clean
                                                    : BuildCommand::MakeFile;
    ok = session.build(which, file).ok();
  }
  zun::end_as_requested();
  return ok ? 0 : 1;
}
