// The run of one vlk invocation: options, inputs, link, load, outputs, in the
// order the tool has always used, plus the message function and the small
// file helpers the stages share. The linked object and extracted library
// members stay in memory; each output replaces its file only when complete.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "common/exit_code.h"
#include "common/format.h"
#include "common/line_reader.h"
#include "common/output_file.h"
#include "common/path.h"
#include "linker/link.h"

namespace zun::vlk {

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

void text_lines(std::string_view content, TextLines& text) {
  text.lines.clear();
  size_t pos = 0;
  std::string_view line;
  while (next_line(content, pos, line)) text.lines.emplace_back(line);
  mark_continuations(text);
}

ReadStatus read_text_file(const std::string& name, TextLines& text, size_t max_line) {
  std::string reason;
  std::FILE* file = open_input_file(name, reason);
  if (!file) return ReadStatus{false, 0};
  text.lines.clear();
  ReadStatus status{true, 0};
  if (read_lines(file, text.lines, max_line) == LineStatus::TooLong)
    status.long_line = static_cast<int>(text.lines.size()) + 1;
  std::fclose(file);
  mark_continuations(text);
  return status;
}

void read_record_file(Link& link, const std::string& name, TextLines& text, const char* cant_open) {
  ReadStatus status = read_text_file(name, text, kMaxRecordLine);
  if (!status.opened) fatal(link, format(cant_open, name.c_str()));
  if (status.long_line > 0)
    fatal(link, format("file '%s' line %d is longer than the limit of %zu characters", name.c_str(),
                       status.long_line, kMaxRecordLine));
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
    read_record_file(link, name, text, "can't open '%s'");
    Input* input = enter_input(link, name, name);
    input->text = std::move(text);
  }
}

// Every file the run has read, for the check that no output replaces one.
std::vector<std::string> files_read(const Link& link) {
  std::vector<std::string> files = link.input_names;
  files.insert(files.end(), link.scripts_read.begin(), link.scripts_read.end());
  for (const auto& library : link.libraries) files.push_back(library->path);
  return files;
}

// An output that names an input would replace text the user still needs.
void refuse_inputs_as_outputs(Link& link) {
  std::vector<std::string> outputs{link.output};
  if (link.want_map) outputs.push_back(link.map_name);
  if (link.rom_code) outputs.push_back(clean_name(link.output));
  for (const std::string& output : outputs)
    for (const std::string& input : files_read(link))
      if (same_file(output, input))
        fatal(link, format("can't create output '%s': %s", output.c_str(), kOutputIsInput));
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

// Takes the linked object as the loader's only input.
bool reopen_linked_object(Link& link, const std::string& linked_text) {
  TextLines text;
  text_lines(linked_text, text);
  // No name of its own: it must not be taken for an input of the same name.
  Input* linked = enter_input(link, "", link.output);
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

// The output is put in place only when the run counted no error; with
// errors an older output of that name goes too, so that nothing stale is
// taken for the result of this run.
int finish_output(Link& link, OutputFile& out, std::string_view text) {
  if (link.errors == 0 && !(out.write(text) && out.commit()))
    error(link, format("can't write '%s': %s", link.output.c_str(), out.error().c_str()));
  if (link.errors == 0) return 0;
  out.discard();
  remove_output(link.output);
  return exit_code_for_errors(link.errors);
}

void open_output(Link& link, OutputFile& out, const std::string& name, const char* failure) {
  if (!out.open(name, "vl")) fatal(link, format("%s '%s': %s", failure, name.c_str(), out.error().c_str()));
}

int load_program(Link& link, const std::string& linked_text) {
  OutputFile out, map;
  open_output(link, out, link.output, "can't create output filename");
  if (link.want_map) open_output(link, map, link.map_name, "can't create cross reference file");
  std::string load;
  bool placed = reopen_linked_object(link, linked_text);
  if (!placed) return 1;
  if (place_segments(link) == 0) {
    set_linker_symbols(link);
    if (link.want_map) write_link_summary(link);
    if (link.errors == 0) emit_segments(link, load);
    if (link.debug && link.errors == 0) write_debug_tail(link, load);
  }
  if (link.want_map) {
    link.map += "\n---\n End of listfile\n";
    if (!map.write(link.map) || !map.commit())
      error(link, format("can't write '%s': %s", link.map_name.c_str(), map.error().c_str()));
  }
  int code = finish_output(link, out, load);
  if (code != 0) return code;
  if (link.rom_code) return write_clean_copy(link, load);
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
  OutputFile out;
  if (link.make_archive) {
    refuse_inputs_as_outputs(link);
    open_output(link, out, link.output, "can't create output filename");
    // Errors of the options (a bad -R, a missing script) or of the inputs
    // must not pass as a finished archive that make then takes as up to date.
    std::string archive = archive_text(link);
    return finish_output(link, out, archive);
  }
  if (!read_program(link)) return 1;
  refuse_inputs_as_outputs(link);

  merge_offsets(link);
  copy_inputs(link);
  std::string linked = linked_object_text(link, link.output);
  if (link.loader) return load_program(link, linked);
  open_output(link, out, link.output, "can't create output filename");
  return finish_output(link, out, linked);
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
