// Source input: opening the main source and the files it includes (with the
// include search and a guard against recursion), the include stack with each
// file's line number, and the reader that hands the line driver one line at a
// time until the main file ends or END is met.
#include <unistd.h>

#include "assembler/internal.h"
#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"
#include "common/text.h"

namespace zun::hasm {

namespace {

// Nesting beyond this can only be a cycle the lexical path check missed
// (e.g. through a link to a parent directory).
constexpr size_t MaxIncludeDepth = 64;

struct Found {
  FILE* file = nullptr;
  std::string path;         // as opened
  std::string listed_path;  // for the source-file list
  std::string refused;      // the first name that is there but could not be used, with the reason
};

// Only a regular file is a source: a directory holds no lines, a device or a
// FIFO may never end.
Found search(Assembly& as, const std::string& name) {
  Found f;
  auto attempt = [&](const std::string& path) {
    if (f.file) return;
    std::string reason;
    f.file = open_input_file(path, reason);
    if (f.file) {
      f.path = f.listed_path = path;
    } else if (f.refused.empty() && access(path_native(path).c_str(), F_OK) == 0) {
      f.refused = format("Can't open '%s': %s", name.c_str(), reason.c_str());
    }
  };
  if (name.size() > 1 && name[1] == ':') {
    attempt(name);
    return f;
  }
  if (!as.include_stack.empty() && !is_path_sep(name[0])) {
    std::string dir = path_dir_name(as.include_stack.back().path);
    if (!dir.empty()) attempt(dir + "/" + name);
  }
  attempt(name);
  if (!is_path_sep(name[0])) {
    attempt(as.start_dir + "/" + name);
    for (const std::string& entry : as.include_dirs) {
      if (f.file) break;
      if (entry[0] == '.') {
        attempt(as.opt.program_dir + "/" + entry + "/" + name);
        if (f.file) f.listed_path = entry + "/" + name;
      } else {
        attempt(entry + "/" + name);
      }
    }
  }
  return f;
}

}  // namespace

std::string module_of(std::string_view path, size_t max_length) {
  std::string name = path_file_name(path);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name.size() > max_length) name.resize(max_length);
  for (char& c : name) {
    bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) c = '_';
  }
  return name;
}

bool open_source(Assembly& as, const std::string& given) {
  as.open_refusal.clear();
  if (given.empty()) return false;
  if (given.size() > 256) {
    error(as, "(F1034)");
    return false;
  }
  std::string name = given;
  path_to_slashes(name);
  Found f = search(as, name);
  if (!f.file) {
    as.open_refusal = f.refused;
    return false;
  }
  std::string canonical = path_canonicalize(f.path);
  for (const IncludeEntry& e : as.include_stack) {
    if (equal_nocase(path_canonicalize(e.path), canonical) ||
        as.include_stack.size() >= MaxIncludeDepth) {
      fclose(f.file);
      warning(as, "Recursion in file stack, file ignored");
      return true;
    }
  }
  if (!as.include_stack.empty()) as.include_stack.back().stopped_line = as.line_in_file;
  as.line_in_file = 0;
  IncludeEntry& e = as.include_stack.emplace_back();
  e.path = f.path;
  e.module = module_of(f.path, 31);
  e.file = f.file;
  e.cond_depth = as.cond_depth;
  as.current_path = canonical;
  if (!as.compiler_output) as.current_module = e.module;
  as.file_changed = true;
  if (as.pass == 1) {
    as.source_files.insert(as.source_files.begin(), {e.module, f.listed_path});
    as.opened_paths.push_back(f.path);
  }
  return true;
}

void close_all_sources(Assembly& as) {
  for (IncludeEntry& e : as.include_stack)
    if (e.file) fclose(e.file);
  as.include_stack.clear();
}

// Drops the newest file; false when none is left. Conditionals the file
// opened and did not close end with it, so that they cannot go on skipping
// the file that included it.
static bool pop_source(Assembly& as) {
  IncludeEntry& top = as.include_stack.back();
  if (top.file) fclose(top.file);
  close_open_conditionals(as, top.cond_depth);
  as.include_stack.pop_back();
  if (as.include_stack.empty()) return false;
  const IncludeEntry& e = as.include_stack.back();
  as.line_in_file = e.stopped_line;
  as.current_path = path_canonicalize(e.path);
  if (!as.compiler_output) as.current_module = e.module;
  as.file_changed = true;
  return true;
}

// The next physical line of the newest file into `text`; false when every
// file has ended. A line beyond the length limit ends its file (a binary file
// has no line ends): the reason is reported at that line.
static bool read_physical_line(Assembly& as, std::string& text) {
  for (;;) {
    if (as.include_stack.empty()) return false;
    FILE* file = as.include_stack.back().file;
    LineStatus status = read_line(file, text, kMaxTextLine);
    if (status == LineStatus::Line) return true;
    if (status == LineStatus::TooLong) {
      as.read_fault = format("Line longer than the limit of %zu characters, the rest of the file is "
                             "ignored", kMaxTextLine);
      text.clear();
      fseek(file, 0, SEEK_END);
      return true;
    }
    if (!pop_source(as)) return false;
  }
}

bool read_next_line(Assembly& as) {
  if (as.end_seen) {
    close_all_sources(as);
    as.have_pending_tail = false;
    return false;
  }
  // The physical line is kept whole and its parts are taken from an offset,
  // so a long line costs time in proportion to its length.
  if (as.have_pending_tail) {
    as.have_pending_tail = false;
  } else {
    if (!read_physical_line(as, as.pending_tail)) return false;
    as.pending_at = 0;
  }
  const std::string& whole = as.pending_tail;
  size_t rest = whole.size() - as.pending_at;
  ++as.line_in_file;
  ++as.running_line;
  if (rest > MaxLineLength) {
    // The line buffer has always held 4094 characters: the rest is a line of
    // its own, and the user is told.
    warning(as, "Source line is to long");
    rest = MaxLineLength + 1;
    as.have_pending_tail = true;
  }
  as.line.text.assign(whole, as.pending_at, rest);
  as.pending_at += rest;
  return true;
}

}  // namespace zun::hasm
