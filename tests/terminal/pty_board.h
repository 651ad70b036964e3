// A pseudo-terminal pair standing in for a serial line: the terminal opens
// the slave by its path, and a thread on the master side plays the board,
// keeping every byte it receives with the time it arrived.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "debugger/terminal/terminal.h"

namespace zun::term::test {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class PtyBoard {
 public:
  PtyBoard() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0) path_ = name;
    ::fcntl(master_, F_SETFL, O_NONBLOCK);
    reader_ = std::thread([this] { read_loop(); });
  }
  ~PtyBoard() {
    stop_ = true;
    reader_.join();
    ::close(master_);
    ::close(slave_);
  }
  const std::string& path() const { return path_; }
  int slave() const { return slave_; }

  // What the board sends.
  void send(std::string_view bytes) {
    while (!bytes.empty()) {
      ssize_t n = ::write(master_, bytes.data(), bytes.size());
      if (n > 0) bytes.remove_prefix(size_t(n));
      else std::this_thread::sleep_for(1ms);
    }
  }
  std::string received() const {
    std::lock_guard lock(mutex_);
    return std::string(bytes_.begin(), bytes_.end());
  }
  // The arrival time of each byte received.
  std::vector<Clock::time_point> times() const {
    std::lock_guard lock(mutex_);
    return times_;
  }
  // Waits until `done(received())` holds; false at the time-out.
  template <class Pred>
  bool wait_for(Pred done, std::chrono::milliseconds timeout = 10s) const {
    for (auto end = Clock::now() + timeout; Clock::now() < end; std::this_thread::sleep_for(2ms))
      if (done(received())) return true;
    return done(received());
  }
  bool wait_for_size(size_t n, std::chrono::milliseconds timeout = 10s) const {
    return wait_for([n](const std::string& s) { return s.size() >= n; }, timeout);
  }

 private:
  void read_loop() {
    char buffer[4096];
    while (!stop_) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 5) <= 0) continue;
      ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) {
        std::this_thread::sleep_for(2ms);  // no slave open at the moment
        continue;
      }
      std::lock_guard lock(mutex_);
      auto now = Clock::now();
      bytes_.insert(bytes_.end(), buffer, buffer + n);
      times_.insert(times_.end(), size_t(n), now);
    }
  }
  int master_ = -1, slave_ = -1;
  std::string path_;
  std::thread reader_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<char> bytes_;
  std::vector<Clock::time_point> times_;
};

// The number of open file descriptors of this process.
inline int open_fd_count() {
  int n = 0;
  for (int fd = 0; fd < 1024; ++fd)
    if (::fcntl(fd, F_GETFD) != -1) ++n;
  return n;
}

// Files of one test in the temporary folder, removed at its end.
class TempFiles {
 public:
  ~TempFiles() {
    for (const std::string& f : files_) std::filesystem::remove(f);
  }
  std::string make(const std::string& text) {
    std::string name = (std::filesystem::temp_directory_path() /
                        ("zun_term_" + std::to_string(::getpid()) + "_" + std::to_string(files_.size()) + ".s19"))
                           .string();
    std::ofstream(name, std::ios::binary) << text;
    files_.push_back(name);
    return name;
  }

 private:
  std::vector<std::string> files_;
};

// Keeps what a terminal tells its user.
class RecordingHost : public TerminalHost {
 public:
  void error(const std::string& t) override { errors.push_back(t); }
  void warning(const std::string& t) override { warnings.push_back(t); }
  void output(const std::string& t) override { out += t; }
  void status(const std::string& t) override { statuses.push_back(t); }
  std::vector<std::string> errors, warnings, statuses;
  std::string out;
};

}  // namespace zun::term::test
