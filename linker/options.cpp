// Command-line options of vlk (also the option lines of linker scripts), the
// usage text, and the names worked out from the options. Options take effect
// as they are read: -i reads its script and -R enters its segment at once.
#include <algorithm>

#include "common/format.h"
#include "common/path.h"
#include "linker/link.h"

namespace zun::vlk {

namespace {

constexpr const char* kUsage[] = {
    "\tusage: vlk <options> <filename(s)>\n\n",
    "\tlinker options:\n",
    "\t-o<outfile name>  Put linker/loader output on 'outfile name'\n",
    "\t\tdefault linker output is \"", "somevlkoutname.vlk", "\"\n\n",
    "\t\tdefault loader output is \"", "somevlkoutname.s19 (.ihx)", "\"\n\n",
    "\t-g Preserve any symbolic debug information\n",
    "\t-w Don't print warnings\n",
    "\t-v Be verbose\n",
    "\t-r Just link, skip loader phase\n\n",
    "\t-i <filename> include a linker script file\n",
    "\t-I <path> set extra path for linker script file\n\n",
    "\t-Ac Create archive\n",
    "\t-As <rel_source_path> Substitute source path \n",
    "\tSubstitutes all source file path info with <rel_source_path>\n",
    "\twhere 'rel_source_path' is relative the VLK installation directory\n",
    "\tadditional loader options (no -r flag):\n",
    "\t-m<filename> Create cross reference file 'filename'\n",
    "\t-M Create cross reference file <name of outfile>.map\n",
    "\t-L <path> Add 'path' to library path's search list\n",
    "\t-l <library name> Add 'library name' to library name search list\n",
    "\t-R <segment name>:<address>  Relocate 'segment name' to 'address' (hex value)\n",
    "\t-P Create ROM-code\n\n",
    "\tHCS12 -----------------------\n",
    "\t-hl Linear address translation\n",
    "\t-hb Banked address translation\n",
    "\t-----------------------------\n",
};

constexpr const char* kNotice = "Linker/loader for the KY09 (MC6809) board, part of ZUN09";

// The value of an option letter: the rest of the argument, else the next
// argument. `i` and `pos` move past what was taken.
std::string take_value(Link& link, const std::vector<std::string>& args, size_t& i,
                       size_t pos, char letter) {
  const std::string& arg = args[i];
  if (pos < arg.size()) return arg.substr(pos);
  if (i + 1 >= args.size()) fatal(link, format("option '-%c' needs a value", letter));
  return args[++i];
}

void apply_value(Link& link, char letter, const std::string& value) {
  switch (letter) {
    case 'o':
      if (link.have_output) fatal(link, "cannot install multiple output files");
      link.have_output = true;
      link.output = value;
      break;
    case 'i':
      if (!read_script(link, value)) {
        error(link, format("failed to parse '%s'", value.c_str()));
        throw FatalStop{};
      }
      break;
    case 'I':
      link.script_paths.push_back(value);
      break;
    case 'm':
      if (!link.map_by_name) link.map_name = value;
      link.map_by_name = true;
      break;
    case 'L':
      if (std::find(link.library_dirs.begin(), link.library_dirs.end(), value) ==
          link.library_dirs.end())
        link.library_dirs.push_back(value);
      break;
    case 'l':
      link.library_names.push_back(value);
      break;
    case 'R':
      segment_option(link, value);
      break;
    case 's':
      link.substitute_source = true;
      link.source_dir = value;
      break;
    default:
      break;
  }
}

// The letters of one argument from `pos` on. Returns after a letter that took
// a value (which ends the argument).
void parse_letters(Link& link, const std::vector<std::string>& args, size_t& i, bool from_script) {
  const std::string arg = args[i];
  for (size_t pos = 1; pos < arg.size(); ++pos) {
    char c = arg[pos];
    switch (c) {
      case 'g': link.debug = true; break;
      case 'w': link.no_warnings = true; break;
      case 'r': link.loader = false; break;
      case 'M': link.map_by_output = true; break;
      case 'P': link.rom_code = true; break;
      case 'v':
        link.verbose = true;
        print_out(link, "VLK - I'm now very verbose...\n");
        break;
      case 'o': case 'i': case 'I': case 'm': case 'L': case 'l': case 'R':
        apply_value(link, c, take_value(link, args, i, pos + 1, c));
        return;
      case 'h':
        if (pos + 1 < arg.size() && (arg[pos + 1] == 'b' || arg[pos + 1] == 'l')) {
          link.linear = arg[pos + 1] == 'l';
          ++pos;
        } else {
          warning(link, format("unknown option '%s', ignored", arg.c_str() + pos));
        }
        break;
      case 'A':
        if (pos + 1 < arg.size() && arg[pos + 1] == 'c') {
          // A script would turn the link the build asked for into an archive
          // written under the program's name.
          if (from_script && !link.make_archive)
            error(link, "option '-Ac' in a linker script is refused: archives are made from the command line");
          else
            link.make_archive = true;
          return;
        }
        if (pos + 1 < arg.size() && arg[pos + 1] == 's') {
          apply_value(link, 's', take_value(link, args, i, pos + 2, 'A'));
          return;
        }
        warning(link, format("unknown Archive-option '%s', ignored", arg.c_str() + pos + 1));
        ++pos;  // the letter after 'A' is spent; the ones behind it are options
        break;
      default:
        warning(link, format("unknown option '%s', ignored", arg.c_str() + pos));
        break;
    }
  }
}

}  // namespace

size_t parse_options(Link& link, const std::vector<std::string>& args, size_t first,
                     bool from_script) {
  size_t i = first;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.empty() || arg[0] != '-') break;
    if (arg == "-") continue;
    parse_letters(link, args, i, from_script);
  }
  return i;
}

void print_usage(Link& link) {
  std::string text = format("vlk Version %s\n", kVersion);
  text += format("\n%s\n", kNotice);
  for (const char* line : kUsage) text += line;
  print_out(link, text);
}

void work_out_names(Link& link) {
  if (!link.have_output) link.output = link.loader ? "somevlkoutname.s19" : "somevlkoutname.vlk";
  std::string file = path_file_name(link.output);
  link.output_base = file.substr(0, file.find('.'));
  if (link.map_by_name) {
  } else if (link.map_by_output) {
    link.map_name = link.output_base + ".map";
  } else {
    link.map_name = "somevlkoutname.crs";
  }
  link.want_map = link.map_by_name || link.map_by_output;
}

void print_verbose_settings(Link& link) {
  if (!link.verbose) return;
  std::string text;
  if (link.loader) text += "Executable output\n";
  if (link.debug) text += "Preserving debug info\n";
  if (link.rom_code) text += "Preparing for ROM(FLASH) based application\n";
  text += format("Installing outfile '%s'\n", link.output.c_str());
  if (link.want_map) text += format("Installing crossref file '%s'\n", link.map_name.c_str());
  if (link.make_archive) text += "Creating Archive\n";
  if (link.substitute_source)
    text += format("Setting archive srcdir '%s'\n", link.source_dir.c_str());
  print_out(link, text);
}

}  // namespace zun::vlk
