// fgrep: looks for a fixed text in one file.
#include <string>
#include <vector>

#include "workbench/grep/line_search.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return zun::grep::run("fgrep", args, false);
}
