// A child program for the tool-runner tests: reads its standard input to the
// end (so a runner that leaves it open hangs the test), then prints COUNT
// numbered lines of 60 characters, alternating standard output and standard
// error, and exits with CODE.   usage: wb_print_lines COUNT CODE
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) return 100;
  while (std::getchar() != EOF) {
  }
  long count = std::strtol(argv[1], nullptr, 10);
  for (long i = 0; i < count; ++i) {
    std::FILE* out = i % 1000 == 999 ? stderr : stdout;
    std::fprintf(out, "line %06ld %s\n", i, "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx");
    std::fflush(out);
  }
  return std::atoi(argv[2]);
}
