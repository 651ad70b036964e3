// The run of one vlk invocation: options, inputs, link, load, outputs, in the
// order the tool has always used, plus the message function, the temporary
// files and the small file helpers the stages share.
#include <fcntl.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "common/exit_code.h"
#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"
#include "linker/link.h"

namespace zun::vlk {

Link::~Link() {
  for (const std::string& name : temporaries) std::remove(path_native(name).c_str());
}

void message(Link& link, Level level, const std::string& text) {
  static constexpr const char* kPrefix[] = {"Warning: ", "Error: ", "Fatal Error: "};
  link.console.err(std::string(kPrefix[static_cast<int>(level)]) + text + "\n");
  if (level != Level::Warning) ++link.errors;
  if (level == Level::Fatal) throw FatalStop{};
}

void fatal(Link& link, const std::string& text) {
  message(link, Level::Fatal, text);
  throw FatalStop{};
}

void warning(Link& link, const std::string& text) { message(link, Level::Warning, text); }
void error(Link& link, const std::string& text) { message(link, Level::Error, text); }
void print_out(Link& link, const std::string& text) { link.console.out(text); }

// mkstemp makes the file private (0600); a temporary may become the output,
// which should get the usual permissions of a new file.
mode_t new_file_mode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

std::string make_temporary(Link& link) {
  char name[] = "vlXXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) return "";
  fchmod(fd, new_file_mode());
  close(fd);
  link.temporaries.push_back(name);
  return name;
}

// Members get numbered names; one that exists already (another link in the
// same directory) is skipped rather than overwritten.
std::string make_member_temporary(Link& link) {
  for (int tries = 0; tries < 100000; ++tries) {
    std::string name = format("~~v%dL", link.member_number++);
    int fd = open(path_native(name).c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    if (fd >= 0) {
      close(fd);
      link.temporaries.push_back(name);
      return name;
    }
    if (errno != EEXIST) return "";
  }
  return "";
}

void forget_temporary(Link& link, const std::string& name) {
  std::erase(link.temporaries, name);
}

bool read_text_file(const std::string& name, TextLines& text) {
  std::FILE* file = std::fopen(path_native(name).c_str(), "rb");
  if (!file) return false;
  text.lines.clear();
  std::string line;
  while (read_line(file, line)) text.lines.push_back(line);
  std::fclose(file);
  mark_continuations(text);
  return true;
}

bool write_text_file(const std::string& name, const std::string& text) {
  std::FILE* file = std::fopen(path_native(name).c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}

// The temporary takes the output's name. rename() cannot cross file systems,
// and the output may well lie on another one than the current directory.
bool move_file(const std::string& from, const std::string& to) {
  if (std::rename(path_native(from).c_str(), path_native(to).c_str()) == 0) return true;
  std::FILE* in = std::fopen(path_native(from).c_str(), "rb");
  if (!in) return false;
  std::string content;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) content.append(chunk, n);
  bool read_ok = !std::ferror(in);
  std::fclose(in);
  if (!read_ok || !write_text_file(to, content)) {
    std::remove(path_native(to).c_str());
    return false;
  }
  std::remove(path_native(from).c_str());
  return true;
}

std::string absolute_name(const std::string& name) {
  std::error_code ec;
  std::string cwd = std::filesystem::current_path(ec).string();
  if (ec) return path_canonicalize(name);
  return path_join(cwd, name);
}

namespace {

void open_inputs(Link& link) {
  if (link.input_names.empty()) fatal(link, "File name(s) are missing");
  for (const std::string& name : link.input_names) {
    TextLines text;
    if (!read_text_file(name, text)) {
      link.inputs.clear();
      fatal(link, format("can't open '%s'", name.c_str()));
    }
    Input* input = enter_input(link, name, name);
    input->text = std::move(text);
  }
}

// Reading the inputs and searching the libraries; false when the run ends here.
bool read_program(Link& link) {
  if (!link.loader) {
    for (auto& input : link.inputs)
      if (!check_module(link, *input, false)) return false;
    return true;
  }
  resolve_libraries(link);
  for (size_t i = 0; i < link.inputs.size(); ++i) {
    Input& input = *link.inputs[i];
    if (!check_module(link, input, false)) return false;
    read_definitions(link, input);
    read_references(link, input);
    input.read = true;
  }
  link.rom_code_symbol = define_linker_symbol(link, "__rom_code_enabled");
  link.heap_symbol = define_linker_symbol(link, "__heap_start");
  if (link.rom_code_symbol) link.rom_code_symbol->value = link.rom_code ? 1 : 0;
  index_libraries(link);
  int unbound = bind_references(link);
  for (int round = 0; unbound != 0 && round < kMaxLibraryRounds; ++round)
    unbound = search_round(link);
  finish_libraries(link);
  return !report_undefined(link);
}

// Reads the linked object back as the loader's only input.
bool reopen_linked_object(Link& link, const std::string& name) {
  TextLines text;
  if (!read_text_file(name, text)) fatal(link, "can't reopen link output");
  Input* linked = enter_input(link, name, name);
  linked->text = std::move(text);
  linked->linked_object = true;
  link.linked = linked;
  if (!check_module(link, *linked, true)) return false;
  refresh_values(link, *linked);
  for (auto& segment : link.segments) {
    enter_segment_symbols(link, *segment);
    SegmentPart* part = find_part(*linked, segment.get());
    uint32_t size = part ? part->size : 0;
    segment->size = size + (size & 1);
  }
  return true;
}

void emit_segments(Link& link, std::string& load) {
  SrecWriter writer(load);
  writer.header();
  for (Segment* segment : link.emission) {
    if (segment->size > kMaxSegmentSize)
      fatal(link, format("can't get enough memory for segment '%s'", segment->name.c_str()));
    std::vector<uint8_t> bytes(segment->size, 0x00);
    if (!read_segment_bytes(link, *segment, bytes))
      fatal(link, format("can't read segment '%s'", segment->name.c_str()));
    if (!relocate_segment(link, *segment, bytes))
      fatal(link, format("can't relocate segment (statics) '%s'", segment->name.c_str()));
    if (segment->size == 0) continue;
    if (link.verbose)
      print_out(link, format("Emit '%s' at %8.8X, size = %4.4X\n", segment->name.c_str(),
                             segment->address, segment->size));
    writer.data(bytes, segment->address);
  }
  writer.end(entry_address(link));
}

int load_program(Link& link, const std::string& linked_name) {
  std::string load_name = make_temporary(link);
  if (load_name.empty()) fatal(link, "can't create temporary filename for loadout");
  if (link.want_map) {
    std::remove(path_native(link.map_name).c_str());
    if (!write_text_file(link.map_name, "")) fatal(link, "can't create cross reference file");
  }
  std::string load;
  bool placed = reopen_linked_object(link, linked_name);
  if (!placed) return 1;
  if (place_segments(link) == 0) {
    set_linker_symbols(link);
    if (link.want_map) write_link_summary(link);
    if (link.errors == 0) emit_segments(link, load);
    if (link.debug && link.errors == 0) write_debug_tail(link, load);
  }
  if (link.want_map) {
    link.map += "\n---\n End of listfile\n";
    if (!write_text_file(link.map_name, link.map)) fatal(link, "can't create cross reference file");
  }
  if (!write_text_file(load_name, load)) fatal(link, "can't create temporary file for loadout");
  std::remove(path_native(link.output).c_str());
  if (!move_file(load_name, link.output)) fatal(link, "can't create output filename");
  forget_temporary(link, load_name);
  if (link.errors > 0) {
    std::remove(path_native(link.output).c_str());
    return exit_code_for_errors(link.errors);
  }
  if (link.rom_code) return write_clean_copy(link);
  return 0;
}

int run_link(Link& link, const std::vector<std::string>& args) {
  if (args.empty()) {
    print_usage(link);
    return 1;
  }
  size_t first = parse_options(link, args, 0, false);
  work_out_names(link);
  if (link.map_by_name && link.map_by_output)
    warning(link, "-m and -M flags seen, extra option ignored");
  print_verbose_settings(link);
  for (size_t i = first; i < args.size(); ++i)
    if (std::find(link.input_names.begin(), link.input_names.end(), args[i]) ==
        link.input_names.end())
      link.input_names.push_back(args[i]);
  open_inputs(link);
  if (link.make_archive) {
    write_archive(link);
    // Errors of the options (a bad -R, a missing script) must not pass as a
    // finished archive that make then takes as up to date.
    if (link.errors > 0) std::remove(path_native(link.output).c_str());
    return exit_code_for_errors(link.errors);
  }
  if (!read_program(link)) return 1;

  merge_offsets(link);
  copy_inputs(link);
  std::string linked_name = make_temporary(link);
  if (linked_name.empty()) fatal(link, "can't create temporary filename for linkout");
  write_linked_object(link, linked_name, link.loader ? linked_name : link.output);
  if (!link.loader) {
    std::remove(path_native(link.output).c_str());
    if (!move_file(linked_name, link.output)) fatal(link, "can't create output filename");
    forget_temporary(link, linked_name);
    if (link.errors > 0) std::remove(path_native(link.output).c_str());
    return exit_code_for_errors(link.errors);
  }
  return load_program(link, linked_name);
}

}  // namespace

int run(const Options& options, Console& console) {
  Link link(console);
  try {
    return run_link(link, options.args);
  } catch (const FatalStop&) {
    return 1;
  } catch (const std::exception& e) {
    // Out of memory or a file-system failure: report it like any fatal stop.
    console.err(std::string("Fatal Error: ") + e.what() + "\n");
    return 1;
  }
}

}  // namespace zun::vlk
