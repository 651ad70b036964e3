// hasm09: reads the command line, assembles, prints what the run reported and
// exits with its code.
#include <cstdio>
#include <string>
#include <vector>

#include "assembler/assembler.h"
#include "common/output_file.h"
#include "common/termination.h"

int main(int argc, char** argv) {
  zun::ignore_file_size_signal();
  zun::clean_up_on_termination();
  std::vector<std::string> args(argv + 1, argv + argc);
  zun::hasm::Options options;
  zun::hasm::Report report;
  std::string program = argc > 0 ? argv[0] : "";
  size_t sep = program.find_last_of("/\\");
  options.program_dir = sep == std::string::npos ? "." : program.substr(0, sep);
  zun::hasm::CommandLine what = zun::hasm::parse_command_line(args, options, report);
  if (what == zun::hasm::CommandLine::Run) zun::hasm::run(options, report);
  std::fwrite(report.err.data(), 1, report.err.size(), stderr);
  std::fwrite(report.out.data(), 1, report.out.size(), stdout);
  std::fflush(stdout);
  return report.exit_code;
}
