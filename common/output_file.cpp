// Output through a temporary in the output's own directory, checked writes
// and a rename at the end; straight writing for devices and FIFOs.
#include "common/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "common/path.h"
#include "common/termination.h"

namespace zun {

namespace {

constexpr size_t kBufferSize = 1 << 16;

// The file a name finally leads to: symbolic links followed, also a dangling
// one (the new file is then created where the link points).
std::string follow_links(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n = readlink(path.c_str(), link.data(), link.size());
    if (n < 0) return path;
    link.resize(static_cast<size_t>(n));
    std::string dir = path_dir_name(path);
    path = link[0] == '/' || dir.empty() ? link : dir + "/" + link;
  }
  return path;
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

void OutputFile::fail(int err) { fail(std::string(std::strerror(err))); }

void OutputFile::fail(const std::string& reason) {
  if (!failed_) error_ = reason;
  failed_ = true;
}

bool OutputFile::open(const std::string& path, std::string_view temp_prefix) {
  discard();
  path_ = path;
  error_.clear();
  failed_ = false;
  keep_mode_ = false;
  std::string native = path_native(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) {
    if (errno != ENOENT) {
      fail(errno);
      return false;
    }
    target_ = follow_links(native);  // a new file, or where a dangling link points
  } else if (S_ISDIR(st.st_mode)) {
    fail(EISDIR);
    return false;
  } else if (!S_ISREG(st.st_mode)) {
    fd_ = ::open(native.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) fail(errno);
    return fd_ >= 0;
  } else {
    char* real = realpath(native.c_str(), nullptr);
    target_ = real ? real : native;
    std::free(real);
    mode_ = st.st_mode & 07777;
    keep_mode_ = true;
  }
  fd_ = create_temporary_removed_on_termination(path_dir_name(target_), temp_prefix, temp_);
  if (fd_ < 0) {
    fail(errno);
    temp_.clear();
    return false;
  }
  return true;
}

bool OutputFile::flush() {
  size_t done = 0;
  while (!failed_ && done < buffer_.size()) {
    ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno != EINTR) {
      fail(errno);
    } else if (n == 0) {
      fail(ENOSPC);
    }
  }
  buffer_.clear();
  return !failed_;
}

bool OutputFile::write(std::string_view text) {
  if (fd_ < 0) {
    fail("the file is not open");
    return false;
  }
  if (failed_) return false;
  buffer_.append(text);
  return buffer_.size() < kBufferSize || flush();
}

bool OutputFile::commit() {
  if (fd_ < 0) {
    fail("the file is not open");
    return false;
  }
  flush();
  if (!failed_ && keep_mode_ && fchmod(fd_, mode_) != 0) fail(errno);
  if (::close(fd_) != 0) fail(errno);
  fd_ = -1;
  if (!failed_ && !temp_.empty() && std::rename(temp_.c_str(), target_.c_str()) != 0) fail(errno);
  if (failed_) {
    discard();
    return false;
  }
  keep_after_termination(temp_);
  temp_.clear();
  return true;
}

void OutputFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.clear();
  if (!temp_.empty()) {
    unlink(temp_.c_str());
    keep_after_termination(temp_);
  }
  temp_.clear();
}

bool write_output_file(const std::string& path, std::string_view text, std::string_view temp_prefix,
                       std::string& reason) {
  OutputFile out;
  if (out.open(path, temp_prefix) && out.write(text) && out.commit()) return true;
  reason = out.error();
  return false;
}

void remove_output(const std::string& path) {
  std::string native = path_native(path);
  struct stat st;
  if (lstat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(native.c_str());
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(path_native(a).c_str(), &sa) == 0 && stat(path_native(b).c_str(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool write_stream(std::FILE* stream, std::string_view text) {
  bool ok = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && ok;
}

void ignore_file_size_signal() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace zun
