// posix_spawn runner. The child gets a process group of its own so that a
// stop ends it together with any program it started (the cpp wrapper runs
// GNU cpp); the run ends when the child has ended, even if something it left
// behind still holds the pipe.
#include "workbench/build/spawn_runner.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "common/path.h"
#include "common/termination.h"

extern char** environ;

namespace zun::wb {

namespace {

// Frees the spawn attributes on every way out.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
  }
};

// Everything readable now; false once the pipe is at its end.
bool drain(int fd, const SpawnRunner::Sink& sink) {
  char buf[4096];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) {
      sink(std::string_view(buf, static_cast<size_t>(n)));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0;  // 0: end of file; EAGAIN: nothing more for now
  }
}

int64_t steady_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

SpawnRunner::SpawnRunner(Sink output, std::string program_dir)
    : output_(std::move(output)), program_dir_(std::move(program_dir)) {}

std::string SpawnRunner::resolve(const std::string& program) const {
  if (program.find('/') != std::string::npos || program_dir_.empty()) return program;
  std::string beside = path_native(program_dir_ + "/" + program);
  return access(beside.c_str(), X_OK) == 0 ? beside : program;
}

void SpawnRunner::stop() {
  pid_t pid = child_.load();
  if (pid <= 0) return;
  stop_requested_ = true;
  int64_t none = 0;
  if (kill_at_.compare_exchange_strong(none, steady_ms() + stop_grace_ms)) kill(-pid, SIGTERM);
}

// A child that a stop asked to end and that is still there after the grace
// period is killed, once.
void SpawnRunner::kill_when_due(pid_t pid) {
  int64_t kill_at = kill_at_.load();
  if (kill_at <= 0 || steady_ms() < kill_at) return;
  kill(-pid, SIGKILL);
  kill_at_ = -1;
}

void SpawnRunner::shut_down() {
  shut_down_ = true;
  stop();
}

namespace {

std::atomic<SpawnRunner*> terminated_runner{nullptr};

void shut_down_terminated(int) {
  if (SpawnRunner* r = terminated_runner.load()) r->shut_down();
}

}  // namespace

void shut_down_on_termination(SpawnRunner& runner) {
  terminated_runner = &runner;
  clean_up_on_termination(shut_down_terminated);
}

int SpawnRunner::run_process(const std::string& command_line) {
  const std::string failed = "\nFailed to create process, system message is: ";
  if (shut_down_) return run_cancelled;
  std::optional<ToolCommand> tc = split_tool_command(command_line);
  if (!tc) {
    output_(failed + "empty command line\n");
    return run_not_started;
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    output_("Can't create Pipe 1\n");
    return run_no_pipe;
  }
  std::string path = resolve(path_native(tc->program));
  std::vector<std::string> words;
  words.push_back(tc->program);
  words.insert(words.end(), tc->args.begin(), tc->args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  SpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&setup.actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&setup.actions, fds[1], 2);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGINT, SIGTERM}) sigaddset(&defaults, sig);
  posix_spawnattr_setsigmask(&setup.attr, &none);
  posix_spawnattr_setsigdefault(&setup.attr, &defaults);
  posix_spawnattr_setpgroup(&setup.attr, 0);
  posix_spawnattr_setflags(&setup.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  pid_t pid = 0;
  stop_requested_ = false;
  kill_at_ = 0;
  int err = path.find('/') != std::string::npos
                ? posix_spawn(&pid, path.c_str(), &setup.actions, &setup.attr, argv.data(), environ)
                : posix_spawnp(&pid, path.c_str(), &setup.actions, &setup.attr, argv.data(), environ);
  close(fds[1]);
  if (err != 0) {
    close(fds[0]);
    output_(failed + std::strerror(err) + "\n");
    return run_not_started;
  }
  child_ = pid;
  // A stop that came while the child was being started.
  if (shut_down_) stop();
  fcntl(fds[0], F_SETFL, O_NONBLOCK);

  int status = 0;
  bool reaped = false;
  for (;;) {
    pollfd p{fds[0], POLLIN, 0};
    int ready = poll(&p, 1, 100);
    if (ready > 0 && !drain(fds[0], output_)) break;
    if (ready < 0 && errno != EINTR) break;
    kill_when_due(pid);
    // Ended while something it started still holds the pipe: take what is
    // there and stop waiting for the rest.
    if (waitpid(pid, &status, WNOHANG) == pid) {
      reaped = true;
      drain(fds[0], output_);
      break;
    }
  }
  close(fds[0]);
  if (!reaped) {
    while (waitpid(pid, &status, WNOHANG) == 0) {
      kill_when_due(pid);
      usleep(20000);
    }
  }
  child_ = 0;
  if (stop_requested_.exchange(false)) return run_cancelled;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  output_("\nProgram '" + tc->program + "' ended abnormally\n");
  return run_abnormal_end;
}

}  // namespace zun::wb
