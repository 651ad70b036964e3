// Making and recognising temporary file names.
#include "common/temporary.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

namespace zun {

namespace {

constexpr std::string_view kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The three check characters of a prefix and three free ones.
std::string check_of(std::string_view prefix, std::string_view free) {
  uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (std::string_view part : {std::string_view("zun09 temporary "), prefix, free})
    for (char c : part) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  std::string check;
  for (int i = 0; i < 3; ++i, h /= kChars.size()) check += kChars[h % kChars.size()];
  return check;
}

}  // namespace

int create_temporary_file(const std::string& dir, std::string_view prefix, std::string& name) {
  std::random_device device;
  std::mt19937 rng(device() ^ static_cast<unsigned>(getpid()) ^
                   static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int tries = 0; tries < 100; ++tries) {
    std::string free;
    for (int i = 0; i < 3; ++i) free += kChars[rng() % kChars.size()];
    name = dir.empty() ? std::string() : dir + "/";
    name += prefix;
    name += free + check_of(prefix, free);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool is_temporary_name(std::string_view name) {
  for (std::string_view prefix : temporary_prefixes) {
    if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix) continue;
    std::string_view rest = name.substr(prefix.size());
    if (rest.find_first_not_of(kChars) != std::string_view::npos) continue;
    if (check_of(prefix, rest.substr(0, 3)) == rest.substr(3)) return true;
  }
  return false;
}

}  // namespace zun
