// The run: start-up, pass 1 (addresses and symbols), the work between the
// passes, pass 2 (bytes, relocation, listing, debug records), the object file
// and the totals. Also the two message forms and their counting rules.
#include <unistd.h>

#include <algorithm>

#include "assembler/internal.h"
#include "common/exit_code.h"
#include "common/format.h"
#include "common/path.h"

namespace zun::hasm {

Assembly::Assembly(const Options& options, Report& r) : opt(options), report(r) {}

Assembly::~Assembly() { close_all_sources(*this); }

void error(Assembly& as, const std::string& text) {
  // Pass 1 stops at the same errors, so both passes advance alike.
  bool first = !as.line.error;
  as.line.error = true;
  if (as.pass != 2 || !first || as.silenced) return;
  ++as.errors;
  as.report.err += format("\"%s\" (%d): error: %s\n", as.current_path.c_str(), as.line_in_file,
                          text.c_str());
  if (as.listing)
    as.listing->write(format("\"%s\" line %d, ERROR: %s\n", as.current_path.c_str(),
                             as.line_in_file, text.c_str()));
}

void warning_at(Assembly& as, const std::string& file, int line, const std::string& text) {
  if (as.pass != 2 || !as.opt.warnings) return;
  ++as.warnings;
  as.report.err += format("\"%s\" (%d): warning: %s\n", file.c_str(), line, text.c_str());
  if (as.listing)
    as.listing->write(format("\"%s\" LINE: %d,WARNING: %s\n", file.c_str(), line, text.c_str()));
}

void warning(Assembly& as, const std::string& text) {
  warning_at(as, as.current_path, as.line_in_file, text);
}

namespace {

std::string base_of(const std::string& source) {
  std::string name = path_file_name(source);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string current_directory() {
  std::string dir(4096, '\0');
  if (!getcwd(dir.data(), dir.size())) return ".";
  dir.resize(dir.find('\0'));
  path_to_slashes(dir);
  return dir;
}

// A file of the run that cannot be used; the text is the whole message.
struct CantOpen {
  std::string text;
};

CantOpen cant_open_source(const Assembly& as) {
  return CantOpen{format("%s: Can't open '%s'\n", ProgramName, as.opt.source.c_str())};
}

CantOpen cant_open_output(const std::string& name, const std::string& reason) {
  return CantOpen{format("%s: Can't open '%s': %s\n", ProgramName, name.c_str(), reason.c_str())};
}

std::string object_name_of(const Assembly& as) {
  return as.opt.output.empty() ? as.base_name + ".o09" : as.opt.output;
}

// Every output of the run, by the name the user gave or implied.
std::vector<std::string> output_names(const Assembly& as) {
  std::vector<std::string> names{object_name_of(as)};
  if (as.opt.listing) names.push_back(as.base_name + ".lst");
  if (!as.opt.byte_array.empty()) names.push_back(as.opt.byte_array);
  return names;
}

// An output that is one of the sources would be lost text: the main source
// is checked before anything is read, the included files once pass 1 has
// met them, and in either case nothing has been written yet.
void refuse_inputs_as_outputs(const Assembly& as, const std::vector<std::string>& inputs) {
  for (const std::string& output : output_names(as))
    for (const std::string& input : inputs)
      if (same_file(input, output)) throw cant_open_output(output, kOutputIsInput);
}

std::unique_ptr<OutputFile> open_output(const std::string& name) {
  auto out = std::make_unique<OutputFile>();
  if (!out->open(name, "R")) throw cant_open_output(name, out->error());
  return out;
}

void command_line_defines(Assembly& as) {
  for (const std::string& d : as.opt.defines) {
    size_t eq = d.find('=');
    std::string name = d.substr(0, eq);
    uint32_t value = 0;
    int not_absolute = 0;
    // Only numbers and earlier -D names are known this early.
    if (eq != std::string::npos &&
        (!eval_absolute_text(as, d.substr(eq + 1), value, &not_absolute) || not_absolute > 0)) {
      as.report.out += format("%s: Bad value in -D '%s', 0 assumed\n", ProgramName, d.c_str());
      value = 0;
    }
    as.line.error = false;
    if (name.empty()) continue;
    if (name.size() > MaxNameLength) {
      as.report.out += format("%s: Symbol name is to long (max %d characters), -D '%s' ignored\n",
                              ProgramName, MaxNameLength, name.c_str());
      continue;
    }
    Symbol* s = find_symbol(as, name);
    if (s) {
      s->flags |= SymMultiple;
      continue;
    }
    s = enter_symbol(as, name, value, 1, SymDefined | SymConstant, -1);
    s->segment = abs_segment(as);
    s->from_command_line = true;
  }
}

void start_up(Assembly& as) {
  as.start_dir = current_directory();
  for (const std::string& dir : as.opt.include_dirs) {
    if (dir.empty()) {
      as.report.out += format("%s: Pathname should be quoted, option ignored\n", ProgramName);
      continue;
    }
    std::string d = dir;
    path_to_slashes(d);
    as.include_dirs.push_back(d);
  }
  build_mnemonics(as);
  build_directive_words(as);
  as.record_from_command_line = !as.opt.record_name.empty();
  as.record_name = as.record_from_command_line ? as.opt.record_name : as.opt.source;
  // "text" is always the first segment, "abs" holds the constants.
  select_segment(as, "text");
  command_line_defines(as);

  as.base_name = base_of(as.opt.source);
  if (!open_source(as, as.opt.source)) throw cant_open_source(as);
  refuse_inputs_as_outputs(as, {as.include_stack.front().path});
  // The outputs take their names only when the run has written them whole;
  // until then the old files stay as they are.
  as.object = open_output(object_name_of(as));
  if (as.opt.listing) as.listing = open_output(as.base_name + ".lst");
  if (!as.opt.byte_array.empty()) {
    as.byte_array = open_output(as.opt.byte_array);
    as.byte_array->write("const unsigned char algo[] = {\n");
  }
}

void run_pass(Assembly& as) {
  select_segment(as, "text");
  while (read_next_line(as)) {
    Segment* seg = as.current;
    uint32_t start = as.pc;
    assemble_line(as);
    size_t index = static_cast<size_t>(as.running_line);
    if (as.pass == 1) {
      if (as.line_advance.size() <= index) as.line_advance.resize(index + 1, 0);
      as.line_advance[index] = as.current == seg ? as.pc - start : 0;
      continue;
    }
    if (as.line.error) {
      // A line that failed in pass 2 still takes the room it took in pass 1,
      // so one error does not move every address behind it.
      uint32_t want = index < as.line_advance.size() ? as.line_advance[index] : 0;
      if (as.current == seg && as.pc - start < want) emit_zeros(as, want - (as.pc - start));
      as.line.bytes.clear();
    }
    list_line(as);
    if (as.nolist_after_line) {
      as.listing_enabled = false;
      as.nolist_after_line = false;
    }
    if (as.opt.debug && !as.compiler_output && as.line.instruction && !as.line.error)
      debug_exec_point(as);
  }
  if (as.current) as.current->pc = as.pc;
}

void work_out_names(Assembly& as) {
  std::string recorded = as.record_name;
  if (!as.opt.debug_dir.empty()) {
    size_t sep = path_last_sep(recorded);
    recorded = as.opt.debug_dir +
               (sep == std::string::npos ? "/" + recorded : recorded.substr(sep));
  }
  // The object file is read on other systems too: its paths use '/'.
  path_to_slashes(recorded);
  as.record_name = recorded;
  std::string file = path_file_name(recorded);
  size_t dot = file.rfind('.');
  std::string stem = dot == std::string::npos ? file : file.substr(0, dot);
  as.object_name = stem + ".o09";
  as.module_name = stem;
  for (char& c : as.module_name) {
    bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) c = '_';
  }
}

void between_passes(Assembly& as) {
  symbols_between_passes(as);
  work_out_names(as);
  if (as.opt.debug) debug_module_records(as);
  if (as.current) as.current->pc = as.pc;
  for (Segment& s : as.segments) {
    s.pc = 0;
    s.code.clear();
  }
  as.current = nullptr;
  as.pass = 2;
  as.pc = 0;
  as.line_in_file = 0;
  as.running_line = 0;
  as.errors = 0;
  as.warnings = 0;
  as.phase_error_reported = false;
  as.silenced = false;
  as.end_seen = false;
  as.direct_page = 0;
  as.tsc = false;
  as.list_cond = false;
  as.nolist_after_line = false;
  as.last_data_label = nullptr;
  reset_conditionals(as);
  if (as.opt.externals) make_undefined_external(as);
  if (as.listing) {
    list_banner(as);
    as.listing_enabled = true;
  }
  if (!open_source(as, as.opt.source)) throw cant_open_source(as);
  as.file_changed = false;
}

void totals(Assembly& as) {
  if (as.listing && as.errors > 0) as.listing->write(format("\n\n****** Total Errors: %d\n", as.errors));
  if (as.errors > 0) as.report.out += format("-- %d error(s).\n", as.errors);
  if (as.opt.warnings && as.warnings > 0) {
    if (as.errors == 0) as.report.out += "-- ";
    as.report.out += format("%d warning(s).\n", as.warnings);
  }
  if (as.byte_array) as.byte_array->write("};\n");
}

// Puts every output in place; false after a failed write, which is reported
// with the file's name and the reason.
bool commit_outputs(Assembly& as) {
  bool ok = true;
  for (OutputFile* out : {as.object.get(), as.listing.get(), as.byte_array.get()}) {
    if (!out || !ok) continue;
    if (!out->commit()) {
      as.report.out += format("%s: Can't write '%s': %s\n", ProgramName, out->path().c_str(),
                              out->error().c_str());
      ok = false;
    }
  }
  return ok;
}

int assemble(Assembly& as) {
  try {
    start_up(as);
    run_pass(as);
    refuse_inputs_as_outputs(as, as.opened_paths);
    between_passes(as);
  } catch (const CantOpen& failure) {
    as.report.out += failure.text;
    return 1;
  }
  run_pass(as);
  if (as.opt.debug) end_of_run_debug(as);
  as.object->write(object_text(as));
  totals(as);
  if (!commit_outputs(as)) return std::max(1, exit_code_for_errors(as.errors));
  return exit_code_for_errors(as.errors);
}

}  // namespace

int run(const Options& options, Report& report) {
  int code;
  try {
    Assembly as(options, report);
    code = assemble(as);
  } catch (const FatalStop& stop) {
    report.out += stop.text + "\nTerminated due to fatal error(s)\n";
    code = 255;
  }
  report.exit_code = code;
  return code;
}

}  // namespace zun::hasm
