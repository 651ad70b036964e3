// Global symbols: definitions from "G:" records, references from "RG:"
// records, their binding (which drives the library search), the report of
// undefined names, the move of every global to its module's place in the
// merged segment, and the values of the linker-defined symbols.
#include <algorithm>

#include "common/format.h"
#include "linker/link.h"

namespace zun::vlk {

// A name ends at the first character below '!'; longer ones than the symbol
// table takes are cut with a warning.
std::string symbol_name(std::string_view text, Link* link) {
  size_t end = 0;
  while (end < text.size() && static_cast<signed char>(text[end]) > ' ') ++end;
  std::string name(text.substr(0, end));
  if (name.size() > kMaxSymbolName) {
    name.resize(kMaxSymbolName);
    if (link) warning(*link, format("symbol name truncated to '%s'", name.c_str()));
  }
  return name;
}

// The file that messages name for an input: the name it was given as, or for
// a library member the object name its header carries.
std::string module_file(const Input* input) {
  if (!input) return "";
  if (!input->name.empty()) return input->name;
  return input->module ? input->module->file : "";
}

Symbol* find_global(Link& link, std::string_view name) {
  auto it = link.global_index.find(std::string(name));
  return it == link.global_index.end() ? nullptr : it->second;
}

Symbol* find_reference(Link& link, std::string_view name) {
  auto it = link.reference_index.find(std::string(name));
  return it == link.reference_index.end() ? nullptr : it->second;
}

namespace {

Symbol* add_global(Link& link, const std::string& name) {
  link.globals.push_back(std::make_unique<Symbol>());
  Symbol* symbol = link.globals.back().get();
  symbol->name = name;
  link.global_index[name] = symbol;
  return symbol;
}

void report_multiple(Link& link, const Symbol& earlier, const Input& input,
                     const std::string& name) {
  std::string first = earlier.input ? module_file(earlier.input) : "";
  if (input.library) {
    error(link, format("multiple definitions of symbol '%s' in module '%s' and library '%s'",
                       name.c_str(), first.c_str(), input.library->path.c_str()));
  } else if (earlier.library) {
    error(link, format("multiple definitions of symbol '%s' in module '%s' and library '%s'",
                       name.c_str(), input.name.c_str(), earlier.library->path.c_str()));
  } else if (input.name.empty() || !earlier.input) {
    error(link, format("multiple definitions of symbol '%s' in module '%s' and <Unknown>",
                       name.c_str(), (earlier.input ? first : input.name).c_str()));
  } else {
    error(link, format("multiple definitions of symbol '%s' in modules '%s' and '%s'",
                       name.c_str(), first.c_str(), input.name.c_str()));
  }
}

bool is_record(const Input& input, size_t i, std::string_view tag) {
  return !input.text.continued[i] && input.text.lines[i].starts_with(tag);
}

}  // namespace

Symbol* define_linker_symbol(Link& link, const std::string& name) {
  if (Symbol* existing = find_global(link, name)) {
    if (!existing->input && !existing->segment) return existing;
    warning(link, format("can't define  '%s'", name.c_str()));
    return nullptr;
  }
  return add_global(link, name);
}

void enter_segment_symbols(Link& link, Segment& segment) {
  if (segment.start_symbol || equal_nocase(segment.name, "abs")) return;
  const char* name = segment.name.c_str();
  segment.start_symbol = define_linker_symbol(link, format("__%s__start", name));
  segment.end_symbol = define_linker_symbol(link, format("__%s__end", name));
  segment.size_symbol = define_linker_symbol(link, format("__%s__size", name));
  if (!segment.start_symbol || !segment.end_symbol || !segment.size_symbol)
    warning(link, format("can't define segment '%s'", name));
}

void read_definitions(Link& link, Input& input) {
  for (size_t i = input.body; i < input.text.lines.size(); ++i) {
    if (!is_record(input, i, "G:")) continue;
    const std::string& line = input.text.lines[i];
    auto record = parse_global(line);
    if (!record) {
      error(link, format("unreadable global definition '%s'", line.c_str() + 1));
      continue;
    }
    Segment* segment = find_segment(link, record->segment);
    if (!segment) fatal(link, format("can't lookup segment '%s'", record->segment.c_str()));
    std::string name = symbol_name(record->name, &link);
    Module* module = find_input_module(input, record->module);
    if (!module) module = input.module;
    if (Symbol* earlier = find_global(link, name)) {
      if (earlier->input != &input) report_multiple(link, *earlier, input, name);
      continue;
    }
    Symbol* symbol = add_global(link, name);
    symbol->value = record->value;
    symbol->segment = segment;
    symbol->input = &input;
    symbol->module = module;
    symbol->library = input.library;
  }
}

int read_references(Link& link, Input& input) {
  int entered = 0;
  for (size_t i = input.body; i < input.text.lines.size(); ++i) {
    if (!is_record(input, i, "RG")) continue;
    const std::string& line = input.text.lines[i];
    size_t colon = line.find(':', 3);
    if (line.size() < 3 || line[2] != ':' || colon == std::string::npos) {
      error(link, format("bad relocation record '%s'", line.c_str()));
      continue;
    }
    auto record = parse_reloc(line);
    if (!record) {
      error(link, format("unreadable relocation command '%s'", line.c_str() + 2));
      continue;
    }
    Module* module = find_input_module(input, record->module);
    if (!module) fatal(link, format("can't lookup module '%s'", record->module.c_str()));
    std::string name = symbol_name(record->target, &link);
    auto slot = link.library_lookup.find(name);
    if (slot != link.library_lookup.end()) link.library_index[slot->second].needed = true;
    if (find_reference(link, name)) continue;
    link.references.push_back(std::make_unique<Symbol>());
    Symbol* reference = link.references.back().get();
    reference->name = name;
    reference->input = &input;
    reference->module = module;
    link.reference_index[name] = reference;
    ++entered;
  }
  return entered;
}

void refresh_values(Link& link, Input& linked) {
  for (size_t i = linked.body; i < linked.text.lines.size(); ++i) {
    if (!is_record(linked, i, "G:")) continue;
    auto record = parse_global(linked.text.lines[i]);
    if (!record) continue;
    std::string name = symbol_name(record->name, nullptr);
    if (Symbol* symbol = find_global(link, name)) {
      symbol->value = record->value;
    } else {
      error(link, format("Symbol '%s' is dropped", name.c_str()));
    }
  }
}

int bind_references(Link& link) {
  int unbound = 0;
  for (auto& reference : link.references) {
    if (!reference->bound) reference->bound = find_global(link, reference->name);
    if (!reference->bound) ++unbound;
  }
  return unbound;
}

bool report_undefined(Link& link) {
  bool any = false;
  for (auto& reference : link.references) {
    if (reference->bound) continue;
    error(link, format("In file '%s': undefined symbol '%s'",
                       module_file(reference->input).c_str(), reference->name.c_str()));
    any = true;
  }
  return any;
}

void adjust_definitions(Link& link) {
  for (auto& symbol : link.globals) {
    if (!symbol->segment || !symbol->input) continue;
    SegmentPart* part = find_part(*symbol->input, symbol->segment);
    if (!part) fatal(link, format("can't bind symbols segment '%s'", symbol->segment->name.c_str()));
    symbol->value += part->offset;
  }
}

namespace {

uint32_t highest_end(const Link& link) {
  uint32_t end = 0;
  for (const Segment* segment : link.emission)
    if (segment->address != kUnset) end = std::max(end, segment->address + segment->size);
  return end;
}

}  // namespace

// Runs after placement. A link without "bss" takes the heap from the highest
// placed end; with ROM code the data image goes behind bss and the heap
// behind the image.
void set_linker_symbols(Link& link) {
  Segment* bss = nullptr;
  for (auto& segment : link.segments) {
    if (equal_nocase(segment->name, "abs")) continue;
    if (!bss && equal_nocase(segment->name, "bss")) bss = segment.get();
    uint32_t address = segment->address == kUnset ? 0 : segment->address;
    if (segment->start_symbol) segment->start_symbol->value = address;
    if (segment->size_symbol) segment->size_symbol->value = segment->size;
    if (segment->end_symbol) segment->end_symbol->value = address + segment->size;
  }
  uint32_t heap = 0;
  if (bss && bss->address != kUnset) {
    heap = bss->address + bss->size;
  } else {
    heap = highest_end(link);
  }
  if (link.rom_code) {
    uint32_t image = heap;
    for (auto& segment : link.segments) {
      if (!equal_nocase(segment->name, "data")) continue;
      if (!bss) {
        if (segment->size != 0) error(link, "no 'bss' segment present for data segment copy");
        continue;
      }
      segment->reloc_base = image;
      heap += segment->size;
    }
  }
  if (link.heap_symbol) link.heap_symbol->value = heap;
}

}  // namespace zun::vlk
