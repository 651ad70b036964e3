// The fork and exec runner. The child gets a process group of its own so
// that a stop ends it together with any program it started (the cpp wrapper
// runs GNU cpp), and it is killed when the runner's process dies, however
// that dies. The run ends when the child has ended, even if something it
// left behind still holds the pipe.
#include "workbench/build/spawn_runner.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "common/path.h"
#include "common/termination.h"

extern char** environ;

namespace zun::wb {

namespace {

// Closes what it holds on every way out.
struct Fd {
  int fd = -1;
  Fd() = default;
  explicit Fd(int f) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { reset(); }
  void reset(int f = -1) {
    if (fd >= 0) close(fd);
    fd = f;
  }
};

bool executable_file(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// A program named without a directory, looked for along PATH as the shell
// does; as it is when it is found nowhere (exec then says why).
std::string along_path(const std::string& program) {
  const char* env = std::getenv("PATH");
  std::string path = env ? env : "/bin:/usr/bin";
  for (size_t at = 0; at <= path.size();) {
    size_t end = std::min(path.find(':', at), path.size());
    std::string dir = end > at ? path.substr(at, end - at) : ".";
    if (executable_file(dir + "/" + program)) return dir + "/" + program;
    at = end + 1;
  }
  return program;
}

// In the child between vfork and exec, which shares the runner's memory
// and may only make plain system calls: its own process group, death with
// the runner (checked once more after asking for it, since the runner may
// have died before), signals as a new program expects them (no handler of
// the runner's may run here), standard input at end of file and both output
// channels into the pipe. A failed exec tells its error through `report`.
[[noreturn]] void start_child(const char* path, char* const* argv, pid_t runner, int out_fd, int report) {
  setpgid(0, 0);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != runner) _exit(127);
  for (int sig = 1; sig < NSIG; ++sig) {
    struct sigaction sa;
    if (sig == SIGKILL || sig == SIGSTOP || sigaction(sig, nullptr, &sa) != 0) continue;
    bool reset = sa.sa_handler != SIG_IGN || sig == SIGPIPE || sig == SIGINT || sig == SIGTERM;
    if (!reset || sa.sa_handler == SIG_DFL) continue;
    sa.sa_handler = SIG_DFL;
    sa.sa_flags = 0;
    sigaction(sig, &sa, nullptr);
  }
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (in >= 0 && dup2(in, 0) >= 0 && dup2(out_fd, 1) >= 0 && dup2(out_fd, 2) >= 0) execve(path, argv, environ);
  int err = errno;
  ssize_t ignored = write(report, &err, sizeof err);
  (void)ignored;
  _exit(127);
}

// A descriptor that becomes readable when the process ends; -1 where the
// system has none (before Linux 5.3).
int process_fd(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

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
  int fds[2], report_fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    output_("Can't create Pipe 1\n");
    return run_no_pipe;
  }
  Fd out_read(fds[0]), out_write(fds[1]);
  if (pipe2(report_fds, O_CLOEXEC) != 0) {
    output_("Can't create Pipe 1\n");
    return run_no_pipe;
  }
  Fd report_read(report_fds[0]), report_write(report_fds[1]);
  std::string path = resolve(path_native(tc->program));
  if (path.find('/') == std::string::npos) path = along_path(path);
  std::vector<std::string> words;
  words.push_back(tc->program);
  words.insert(words.end(), tc->args.begin(), tc->args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  stop_requested_ = false;
  kill_at_ = 0;
  // vfork: a copy of a large process would cost more than the tool's run.
  // Every signal waits until the child has its own handlers.
  const pid_t runner = getpid();
  sigset_t all, old_mask;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &old_mask);
  pid_t pid = vfork();
  if (pid == 0) start_child(path.c_str(), argv.data(), runner, out_write.fd, report_write.fd);
  int vfork_error = errno;
  pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
  out_write.reset();
  report_write.reset();
  if (pid < 0) {
    output_(failed + std::strerror(vfork_error) + "\n");
    return run_not_started;
  }
  // Set here as well, so that a stop finds the group before the child ran.
  setpgid(pid, pid);
  int status = 0;
  int exec_error = 0;
  ssize_t n;
  while ((n = read(report_read.fd, &exec_error, sizeof exec_error)) < 0 && errno == EINTR) {
  }
  if (n == static_cast<ssize_t>(sizeof exec_error)) {
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    output_(failed + std::strerror(exec_error) + "\n");
    return run_not_started;
  }
  child_ = pid;
  // A stop that came while the child was being started.
  if (shut_down_) stop();
  fcntl(out_read.fd, F_SETFL, O_NONBLOCK);
  Fd ended(process_fd(pid));

  // Both the pipe and the child's end wake the wait; the time limit only
  // serves a stop's kill after its grace period (and a system without
  // process descriptors, where the end is looked for on each turn).
  bool reaped = false;
  while (!reaped) {
    pollfd p[2] = {{out_read.fd, POLLIN, 0}, {ended.fd, POLLIN, 0}};
    int ready = poll(p, 2, ended.fd >= 0 ? 100 : 10);
    if (ready < 0 && errno != EINTR) break;
    if (ready > 0 && p[0].revents && !drain(out_read.fd, output_)) out_read.reset();
    kill_when_due(pid);
    if (ended.fd < 0 || (ready > 0 && p[1].revents)) reaped = waitpid(pid, &status, WNOHANG) == pid;
  }
  // What it wrote before it ended; not what something it left behind may
  // still write.
  if (out_read.fd >= 0) drain(out_read.fd, output_);
  if (!reaped) {
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  child_ = 0;
  if (stop_requested_.exchange(false)) return run_cancelled;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  output_("\nProgram '" + tc->program + "' ended abnormally\n");
  return run_abnormal_end;
}

}  // namespace zun::wb
