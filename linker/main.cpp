// vlk: the linker/loader's command-line entry.
#include <cstdio>

#include "common/output_file.h"
#include "common/termination.h"
#include "linker/linker.h"

int main(int argc, char** argv) {
  zun::ignore_file_size_signal();
  zun::clean_up_on_termination();
  zun::vlk::Options options;
  for (int i = 1; i < argc; ++i) options.args.emplace_back(argv[i]);
  zun::vlk::Console console;
  console.out = [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  };
  console.err = [](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  };
  return zun::vlk::run(options, console);
}
