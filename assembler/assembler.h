// hasm09: the relocating cross assembler for the MC6809.
// A caller fills Options (usually from the command line through
// parse_command_line), calls run(), prints the Report's two texts and exits
// with its exit code. Nothing here prints or exits by itself.
#pragma once

#include <string>
#include <vector>

namespace zun::hasm {

struct Options {
  bool listing = false;       // -L: '<base>.lst'
  bool symbol_table = false;  // -S
  bool debug = false;         // -g: SY debug records
  bool warnings = false;      // -w
  bool externals = false;     // -e: undefined symbols are imports
  bool pure = true;           // '-C nopure' turns the directive tables off
  bool case_sensitive = true; // '-C nocase' folds symbol names to upper case
  std::string source;         // the source file argument; empty: nothing to do
  std::string record_name;    // -r
  std::string debug_dir;      // -d
  std::string output;         // -o
  std::string byte_array;     // -A
  std::vector<std::string> defines;       // -D, in order: NAME or NAME=VALUE
  std::vector<std::string> include_dirs;  // -I, in order
  std::string program_dir;  // directory of the program itself (include entries beginning with '.')
};

// What a run has to say: text for standard output and standard error, and the
// exit code (the error count capped at 255; 1 when a file cannot be opened).
struct Report {
  std::string out;
  std::string err;
  int exit_code = 0;
};

enum class CommandLine : unsigned char {
  Run,       // options and a source file: call run()
  Usage,     // no arguments: the usage text is in report.out, exit 0
  NoSource,  // options but no source file: exit 0 silently
};

// Reads the arguments behind the program name. Messages about options go
// into report.out, as the assembler has always printed them.
CommandLine parse_command_line(const std::vector<std::string>& args, Options& options,
                               Report& report);

// Assembles options.source into its object file (and listing). Returns the
// exit code, also left in report.exit_code.
int run(const Options& options, Report& report);

}  // namespace zun::hasm
