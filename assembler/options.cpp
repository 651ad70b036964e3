// Command line of hasm09: the usage text and the options, read from the first
// argument on up to the source file. Unknown options are reported on standard
// output and skipped, as the workbench's output window expects.
#include <cstring>

#include "assembler/internal.h"
#include "common/format.h"
#include "common/text.h"

namespace zun::hasm {

const char* const ProgramName = "HASM09";
const char* const ProcessorName = "MC6809";
const char* const Version = "1.8.0";
const char* const NoticeLine = "ZUN09 tool chain for the KY09 board";

namespace {

std::string usage_text() {
  std::string s = format("%s - %s Relocating crossassembler, Version %s", ProgramName,
                         ProcessorName, Version);
  s += format("\n%s\n\n", NoticeLine);
  s += format("%s creates a binary object file named \"file%s\")\n", ProgramName, ".o09");
  s += "(Link and load with 'VLK')\n";
  s += format("from an assembly source file e.g. \"file%s\"\n", ".s09");
  s += "Usage: ";
  s += ProgramName;
  s += " [ options ] file\n";
  s += "options: -L Create list file \"file.lst\"\n";
  s += "         -w Print warnings\n";
  s += "         -S Print symbol table\n";
  s += "         -g Generate source level debug information\n";
  s += "         -o [FILENAME] Rename output file\n";
  s += "         -d [DIRECTORY] Set directory for source (debugger info)\n";
  s += "         -D SYMBOL Enter 'SYMBOL' as defined in symbol table\n";
  s += "         -I [FILENAME] Include file\n";
  s += "         -e Treat undefined symbols as declared externals\n";
  s += "compatibility options: -C option\n";
  s += "         dspoff - Turn recognition of 'pure' assembler directives OFF \n";
  s += "         dsnon - Turn recognition of 'native' assembler directives ON\n";
  return s;
}

// The value of an option, read as a word (quoted or not).
std::string word_value(const std::string& text) {
  std::string value;
  read_word(value, text.c_str());
  return value;
}

void compat_option(const std::string& word, Options& options, Report& report) {
  if (word == "nopure") {
    options.pure = false;
  } else if (word == "nocase") {
    options.case_sensitive = false;
  } else if (word != "nonative") {
    report.out += format("%s: Unknown compatibility option -C '%s' is ignored.\n", ProgramName,
                         word.c_str());
  }
}

// Stores the value of a value-taking option; `which` is its letter.
void set_value(char which, const std::string& value, Options& options) {
  switch (which) {
    case 'd': options.debug_dir = word_value(value); break;
    case 'o': options.output = value; break;
    case 'A': options.byte_array = value; break;
    case 'r': options.record_name = value; break;
    case 'D': options.defines.push_back(value); break;
    case 'I': options.include_dirs.push_back(value); break;
    default: break;
  }
}

// '-o"file"', '-d"dir"', '-r"name"': the value between the quotes.
bool quoted_attached(const std::string& arg, std::string& value) {
  if (arg.size() < 3 || arg[2] != '"') return false;
  read_quoted(value, arg.c_str() + 2);
  return true;
}

}  // namespace

CommandLine parse_command_line(const std::vector<std::string>& args, Options& options,
                               Report& report) {
  if (args.empty()) {
    report.out += usage_text();
    return CommandLine::Usage;
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.empty() || arg[0] != '-') {
      options.source = arg;
      return CommandLine::Run;
    }
    std::string name = arg.substr(1);
    if (name == "L") { options.listing = true; continue; }
    if (name == "S") { options.symbol_table = true; continue; }
    if (name == "g") { options.debug = true; continue; }
    if (name == "w") { options.warnings = true; continue; }
    if (name == "e") { options.externals = true; continue; }
    if (name == "d" || name == "o" || name == "A" || name == "r" || name == "D" || name == "I") {
      if (i + 1 >= args.size()) {
        report.out += format("%s: Option '-%s' needs a value and is ignored.\n", ProgramName,
                             name.c_str());
        continue;
      }
      set_value(name[0], args[++i], options);
      continue;
    }
    std::string value;
    char letter = name.empty() ? '\0' : name[0];
    if (letter == 'C') {
      if (name.size() > 1) {
        compat_option(name.substr(1), options, report);
      } else if (i + 1 < args.size()) {
        compat_option(args[++i], options, report);
      } else {
        report.out += format("%s: Option '-%s' needs a value and is ignored.\n", ProgramName,
                             name.c_str());
      }
    } else if ((letter == 'o' || letter == 'd' || letter == 'r') && quoted_attached(arg, value)) {
      set_value(letter, letter == 'd' ? '"' + value + '"' : value, options);
    } else if ((letter == 'D' || letter == 'I') && name.size() > 1) {
      set_value(letter, name.substr(1), options);
    } else {
      report.out += format("%s: Unknown option '%s' is ignored.\n", ProgramName, name.c_str());
    }
  }
  return CommandLine::NoSource;
}

}  // namespace zun::hasm
