// Library search: finds the -l archives in the -L directories, indexes the
// global symbols their members define, and in rounds extracts the members
// that define still-unbound names; each is then read like any input object
// (named "~~v%dL" in messages).
#include "common/format.h"
#include "common/path.h"
#include "linker/link.h"

namespace zun::vlk {

namespace {

Library* install_library(Link& link, const std::string& path) {
  for (auto& library : link.libraries)
    if (library->path == path) return library.get();
  TextLines text;
  ReadStatus status = read_text_file(path, text, kMaxRecordLine);
  if (!status.opened) return nullptr;
  if (status.long_line > 0)
    fatal(link, format("file '%s' line %d is longer than the limit of %zu characters", path.c_str(),
                       status.long_line, kMaxRecordLine));
  bool archive_or_object = !text.lines.empty() && (text.lines[0] == "A" || text.lines[0].starts_with("mod:"));
  if (archive_or_object && !has_end_record(text)) fatal(link, format("file '%s' is truncated", path.c_str()));
  auto library = std::make_unique<Library>();
  library->path = path;
  library->text = std::move(text);
  link.libraries.push_back(std::move(library));
  return link.libraries.back().get();
}

bool has_directory(const std::string& name) { return path_last_sep(name) != std::string::npos; }

// The member's lines, from its "mod:" record through its "e" record.
std::string member_text(const Library& library, size_t first) {
  std::string text;
  for (size_t i = first; i < library.text.lines.size(); ++i) {
    text += library.text.lines[i];
    text += '\n';
    if (!library.text.continued[i] && library.text.lines[i] == "e") break;
  }
  return text;
}

// Returns the number of names the member's references entered new.
int extract_member(Link& link, LibrarySymbol& entry) {
  Library& library = *entry.library;
  if (entry.member_line >= library.text.lines.size() ||
      !library.text.lines[entry.member_line].starts_with("mod:"))
    fatal(link, format("VLK failed to extract '%s' from '%s'", entry.member.c_str(),
                       entry.name.c_str()));
  library.extracted.insert(entry.member_line);
  // The member is read from memory; the name is only for messages.
  std::string name = format("~~v%dL", link.member_number++);
  Input* input = enter_input(link, "", name);
  input->extracted = true;
  input->library = &library;
  text_lines(member_text(library, entry.member_line), input->text);
  if (!check_module(link, *input, false)) fatal(link, "can't init extracted file module");
  entry.needed = false;
  read_definitions(link, *input);
  int entered = read_references(link, *input);
  input->read = true;
  return entered;
}

// Step 1 of a round: marks what the index offers; counts what it does not.
int mark_needed(Link& link) {
  int missing = 0;
  for (auto& reference : link.references) {
    if (reference->bound || reference->no_library) continue;
    if (find_global(link, reference->name)) continue;
    auto slot = link.library_lookup.find(reference->name);
    if (slot != link.library_lookup.end()) {
      link.library_index[slot->second].needed = true;
    } else {
      reference->no_library = true;
      ++missing;
    }
  }
  return missing;
}

}  // namespace

void resolve_libraries(Link& link) {
  std::vector<bool> found(link.library_names.size(), false);
  for (const std::string& dir : link.library_dirs) {
    for (size_t i = 0; i < link.library_names.size(); ++i) {
      const std::string& name = link.library_names[i];
      if (has_directory(name)) continue;
      std::string path = path_join(dir, name);
      if (!install_library(link, path)) continue;
      found[i] = true;
      if (link.verbose) print_out(link, format("Combined/Installed search library :'%s'\n", path.c_str()));
    }
  }
  for (size_t i = 0; i < link.library_names.size(); ++i) {
    const std::string& name = link.library_names[i];
    if (!has_directory(name)) continue;
    if (!install_library(link, name)) fatal(link, format("can't open library '%s'", name.c_str()));
    found[i] = true;
    if (link.verbose) print_out(link, format("Installed search library:'%s'\n", name.c_str()));
  }
  for (size_t i = 0; i < link.library_names.size(); ++i)
    if (!found[i]) fatal(link, format("can't find library '%s'", link.library_names[i].c_str()));
}

void index_libraries(Link& link) {
  for (auto& library : link.libraries) {
    const TextLines& text = library->text;
    size_t member = std::string::npos;
    for (size_t i = 0; i < text.lines.size(); ++i) {
      const std::string& line = text.lines[i];
      if (text.continued[i]) continue;
      if (line.starts_with("mod:")) member = i;
      if (!line.starts_with("G:") || member == std::string::npos) continue;
      auto fields = split_fields(line);
      if (fields.size() < 3) continue;
      std::string name = symbol_name(fields.back(), nullptr);
      if (name.empty() || find_global(link, name)) continue;
      auto slot = link.library_lookup.find(name);
      if (slot != link.library_lookup.end()) {
        LibrarySymbol& entry = link.library_index[slot->second];
        if (entry.library != library.get() || entry.member_line != member) entry.multiple = true;
        continue;
      }
      link.library_lookup[name] = link.library_index.size();
      link.library_index.push_back(
          LibrarySymbol{name, library.get(), member, std::string(fields[2]), false, false});
    }
  }
  // References read before the index existed mark their entries now.
  for (auto& reference : link.references) {
    auto slot = link.library_lookup.find(reference->name);
    if (slot != link.library_lookup.end()) link.library_index[slot->second].needed = true;
  }
}

int search_round(Link& link) {
  for (;;) {
    int missing = mark_needed(link);
    if (missing != 0) return missing;
    bool restart = false;
    for (size_t i = 0; i < link.library_index.size() && !restart; ++i) {
      LibrarySymbol& entry = link.library_index[i];
      if (!entry.needed || entry.library->extracted.count(entry.member_line)) continue;
      // A name some other member has defined meanwhile needs no member of its own.
      if (find_global(link, entry.name)) {
        entry.needed = false;
        continue;
      }
      if (extract_member(link, entry) > 0) restart = true;
    }
    if (!restart) return bind_references(link);
  }
}

void finish_libraries(Link& link) {
  for (const LibrarySymbol& entry : link.library_index)
    if (entry.needed && entry.multiple)
      warning(link, format("found multiple library instances of '%s'", entry.name.c_str()));
}

}  // namespace zun::vlk
