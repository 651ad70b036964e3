// Clearing away what a killed run left. A tool keeps its temporary open from
// creation to rename, so one that no process has open is no longer written;
// the compile chain's C1 to C3 are closed between the tools of a COMP run,
// so they are taken only when no other build holds the folder, or when they
// are too old to belong to any run.
#include "workbench/build/leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "common/temporary.h"

namespace zun::wb {

namespace {

// Older than this, a temporary belongs to no run that is still going.
constexpr time_t old_enough_seconds = 60 * 60;
// Nor does a tool temporary that no process has open and that was last
// written before this, while another build runs in the folder (its tool may
// be between closing and renaming it).
constexpr time_t closed_for_seconds = 10;

using FileId = std::pair<dev_t, ino_t>;

// Whether a process whose open files cannot be looked at may run as this
// user: a tool writes its temporary as the user who then owns it, so a
// process of other users only (which an ordinary user is never let look
// into) cannot be writing one of the candidates.
bool may_run_as_us(const std::string& process_dir) {
  int fd = open((process_dir + "/status").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno != ENOENT && errno != ESRCH;  // gone meanwhile
  std::string status;
  char buf[4096];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) status.append(buf, static_cast<size_t>(n));
  close(fd);
  size_t at = status.find("\nUid:");
  if (at == std::string::npos) return true;
  // Real, effective, saved and file system user.
  std::istringstream ids(status.substr(at + 5, status.find('\n', at + 1) - at - 5));
  for (unsigned long id; ids >> id;)
    if (id == geteuid()) return true;
  return false;
}

// Files that some process has open, among `wanted`; false when a process
// that may be writing one could not be looked at.
bool open_files(const std::set<FileId>& wanted, std::set<FileId>& open) {
  DIR* proc = opendir("/proc");
  if (!proc) return false;
  bool complete = true;
  while (dirent* p = readdir(proc)) {
    if (p->d_name[0] < '0' || p->d_name[0] > '9') continue;
    std::string process_dir = std::string("/proc/") + p->d_name, fd_dir = process_dir + "/fd";
    DIR* fds = opendir(fd_dir.c_str());
    if (!fds) {
      int err = errno;
      complete = complete && (err == ENOENT || !may_run_as_us(process_dir));
      continue;
    }
    while (dirent* f = readdir(fds)) {
      struct stat st;
      if (f->d_name[0] == '.' || stat((fd_dir + "/" + f->d_name).c_str(), &st) != 0) continue;
      if (wanted.count({st.st_dev, st.st_ino})) open.insert({st.st_dev, st.st_ino});
    }
    closedir(fds);
  }
  closedir(proc);
  return complete;
}

bool compile_chain_name(const std::string& name) { return name.size() == 8 && name[0] == 'C'; }

}  // namespace

FolderHold::FolderHold(const std::string& dir) {
  fd_ = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  alone_ = flock(fd_, LOCK_EX | LOCK_NB) == 0;
  // Another run holds the folder alone only for the moment between its two
  // calls: the shared hold waits for that moment to pass (but not for a
  // lock that some other program keeps).
  for (int tries = 0; flock(fd_, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK && tries < 200; ++tries)
    usleep(5000);
}

FolderHold::~FolderHold() {
  if (fd_ >= 0) close(fd_);
}

void remove_leftover_temporaries(const std::string& dir, bool alone) {
  struct Candidate {
    std::string path;
    struct stat st;
  };
  std::vector<Candidate> found;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      Candidate c{dir + "/" + e->d_name, {}};
      if (!is_temporary_name(e->d_name) || lstat(c.path.c_str(), &c.st) != 0) continue;
      if (S_ISREG(c.st.st_mode) && c.st.st_uid == geteuid()) found.push_back(c);
    }
    closedir(d);
  }
  if (found.empty()) return;
  std::set<FileId> wanted, open;
  for (const Candidate& c : found) wanted.insert({c.st.st_dev, c.st.st_ino});
  bool seen_all = open_files(wanted, open);
  time_t now = time(nullptr);
  for (const Candidate& c : found) {
    if (open.count({c.st.st_dev, c.st.st_ino})) continue;
    time_t age = now - c.st.st_mtime;
    bool free = compile_chain_name(c.path.substr(dir.size() + 1))
                    ? alone
                    : seen_all && (alone || age >= closed_for_seconds);
    if (free || age >= old_enough_seconds) unlink(c.path.c_str());
  }
}

}  // namespace zun::wb
