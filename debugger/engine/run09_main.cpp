// run09 [--max N] [--regs] [--trace] [--dump FROM-TO] [--stay] FILE.s19
#include "debugger/engine/engine.h"

#include <poll.h>
#include <unistd.h>

#include <cstdio>

namespace {

class StdIo : public zun::Run09Io {
public:
  void out(std::string_view bytes) override {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
  }
  void err(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stderr); }
  bool poll_input(std::string& bytes) override {
    pollfd p{0, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return true;
    char buffer[4096];
    ssize_t n = ::read(0, buffer, sizeof buffer);
    if (n <= 0) return false;
    bytes.append(buffer, size_t(n));
    return true;
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto options = zun::parse_run09_args(args, error);
  if (!options) {
    std::fputs(error.c_str(), stderr);
    return 2;
  }
  StdIo io;
  return zun::run09(*options, io);
}
