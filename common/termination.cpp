// The handler for SIGTERM, SIGINT and SIGHUP and the lists of what it clears
// away. The lists change only while the signals are held back, so the
// handler never sees one half changed; it calls only unlink, kill, sigaction
// and raise.
#include "common/termination.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "common/temporary.h"

namespace zun {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

struct Registry {
  std::mutex lock;  // between threads; within one, holding the signals back is enough
  std::vector<std::string> files;
  std::vector<pid_t> groups;
  void (*first_request)(int) = nullptr;
  std::atomic<int> requested{0};
};

// Never destroyed: a signal may come while the program's statics go.
Registry& registry() {
  static Registry* r = new Registry;
  return *r;
}

void clear_away() {
  Registry& r = registry();
  for (const std::string& f : r.files) unlink(f.c_str());
  for (pid_t g : r.groups) kill(-g, SIGKILL);
}

[[noreturn]] void end_by(int sig) {
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  sigaction(sig, &dfl, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  raise(sig);
  _exit(128 + sig);
}

void on_signal(int sig) {
  Registry& r = registry();
  int none = 0;
  if (r.first_request && r.requested.compare_exchange_strong(none, sig)) {
    r.first_request(sig);
    return;
  }
  r.requested = sig;
  clear_away();
  end_by(sig);
}

template <typename T>
void change(std::vector<T>& list, const T& item, bool add) {
  TerminationHold hold;
  std::lock_guard<std::mutex> guard(registry().lock);
  if (add) {
    list.push_back(item);
  } else if (auto it = std::find(list.begin(), list.end(), item); it != list.end()) {
    list.erase(it);
  }
}

}  // namespace

void clean_up_on_termination(void (*first_request)(int signal)) {
  registry().first_request = first_request;
  for (int sig : kSignals) {
    struct sigaction old {};
    if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    for (int s : kSignals) sigaddset(&sa.sa_mask, s);
    sa.sa_flags = SA_RESTART;
    sigaction(sig, &sa, nullptr);
  }
}

int termination_requested() { return registry().requested; }

void end_as_requested() {
  if (int sig = registry().requested) {
    clear_away();
    end_by(sig);
  }
}

void remove_on_termination(const std::string& path) { change(registry().files, path, true); }
void keep_after_termination(const std::string& path) { change(registry().files, path, false); }
void end_on_termination(pid_t process_group) { change(registry().groups, process_group, true); }
void forget_on_termination(pid_t process_group) { change(registry().groups, process_group, false); }

int create_temporary_removed_on_termination(const std::string& dir, std::string_view prefix, std::string& name) {
  TerminationHold hold;
  int fd = create_temporary_file(dir, prefix, name);
  if (fd >= 0) remove_on_termination(name);
  return fd;
}

TerminationHold::TerminationHold() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : kSignals) sigaddset(&set, sig);
  pthread_sigmask(SIG_BLOCK, &set, &old_);
}

TerminationHold::~TerminationHold() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }

}  // namespace zun
