// vlk, the linker/loader: links text object files and library archives into a
// linked object, an S-record load file with debug records, or a library
// archive. The program, the workbench and the tests all go through run().
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zun::vlk {

struct Options {
  // The command line without the program name, as given. vlk reads options
  // and file names from one list, and linker scripts feed more options into
  // the same parser, so the list is parsed inside run().
  std::vector<std::string> args;
};

// Where a run's console text goes; run() itself never prints. `out` gets the
// usage, verbose progress and the filtered-copy failures, `err` the messages.
struct Console {
  std::function<void(std::string_view)> out;
  std::function<void(std::string_view)> err;
};

// One whole run in the current directory; returns the exit code. Temporary
// files ("vlXXXXXX", "~~v%dL") are created there and removed before return.
int run(const Options& options, Console& console);

}  // namespace zun::vlk
