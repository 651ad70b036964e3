// The map file's link summary: scripts, libraries, memory, entry, groups and
// segments, constants, linker-defined symbols, the globals of every module,
// and undefined references. The relocation listing is added by relocate.cpp.
#include <unordered_map>
#include <vector>

#include "common/format.h"
#include "linker/link.h"

namespace zun::vlk {

namespace {

constexpr const char* kRule = "\n---------------------------";

void write_group(Link& link, const Group& group) {
  std::string& map = link.map;
  map += format("\n\n  GROUP '%s',", group.name.c_str()) + attribute_text(group.attributes);
  if (group.segments.empty()) {
    map += "\n   NO SEGMENTS";
    return;
  }
  if (group.attributes & AttrC) {
    map += "\n   SEGMENTS";
    for (const Segment* segment : group.segments) map += format("\n   '%s'", segment->name.c_str());
    return;
  }
  uint32_t size = 0, base = group.first ? group.first->address : group.base;
  for (const Segment* segment : group.segments) size += segment->size;
  if (size == 0) {
    map += "\n   SEGMENTS";
  } else {
    map += format(" ,allocation to: %8.8X - %8.8X, (size: %d Bytes)", base, base + size - 1,
                  static_cast<int>(size));
  }
  for (const Segment* segment : group.segments) {
    if (segment->size == 0) continue;
    map += format("\n   %8.8X %8.8X '%s'", segment->address, segment->address + segment->size - 1,
                  segment->name.c_str());
    if (segment->reloc_base != segment->address) {
      map += "\n   ->initialized data, segment referenced at:";
      map += format("\n   ->%8.8X %8.8X, copy of '%s'", segment->reloc_base,
                    segment->reloc_base + segment->size - 1, segment->name.c_str());
    }
  }
}

// Per module, per segment, the globals in the order they were defined.
void write_globals(Link& link) {
  std::string& map = link.map;
  map += kRule;
  map += "\nGLOBAL SYMBOL(S):";
  std::unordered_map<const Module*, std::vector<const Symbol*>> by_module;
  for (auto& symbol : link.globals) by_module[symbol->module].push_back(symbol.get());
  for (auto& module : link.modules) {
    if (module->input && module->input->linked_object) continue;
    map += format("\n\n in module: '%s' of type '%s' defined in file '%s'", module->name.c_str(),
                  module->type.c_str(), module->file.c_str());
    const std::vector<const Symbol*>& symbols = by_module[module.get()];
    for (auto& segment : link.segments) {
      if (equal_nocase(segment->name, "abs")) continue;
      bool header = false;
      for (const Symbol* symbol : symbols) {
        if (symbol->segment != segment.get()) continue;
        if (!header) append_text(map, "\n  in segment: '", segment->name, "'");
        header = true;
        bool image = link.rom_code && equal_nocase(segment->name, "data");
        uint32_t shown = (image ? segment->address : segment->reloc_base) + symbol->value;
        append_text(map, "\n   ", Hex{shown, 8}, " '", symbol->name, "'");
        if (symbol->library) append_text(map, "  (from library '", symbol->library->path, "')");
        if (image)
          append_text(map, ", but referenced at ", Hex{segment->reloc_base + symbol->value, 8});
      }
    }
  }
}

}  // namespace

void write_script_sections(Link& link) {
  std::string& map = link.map;
  map += "\nSCRIPT FILES FROM THE FOLLOWING PATH(S):";
  for (const std::string& path : link.script_paths)
    map += format("\n  '%s'", absolute_name(path).c_str());
  map += "\n\nSCRIPT READ FROM THE FOLLOWING FILE(S):";
  for (const std::string& script : link.scripts_read) map += format("\n  '%s'", script.c_str());
  map += "\n";
  map += kRule;
  map += "\n SEARCHED LIBRARIES:";
  for (auto& library : link.libraries) map += format("\n '%s'", library->path.c_str());
  map += "\n";
  map += kRule;
  map += "\n TARGET MEMORY DEFINITIONS";
  for (const MemoryBlock& block : link.memory)
    map += format("\n %8.8X - %8.8X, (%d kByte)", block.start, block.end - 1,
                  static_cast<int>((block.end - block.start) / 1024)) +
           attribute_text(block.attributes);
  map += "\n";
  map += kRule;
  if (link.have_entry) map += format("\n PROGRAM ENTRY:'%s'", link.entry.c_str());
  else map += "\n WARNING, No entry defined.";
  if (link.overlapping) {
    map += kRule;
    map += "\n WARNING: Application has overlapping segments and may not work";
  }
  map += kRule;
  map += "\n GROUPS AND SEGMENTS:";
  for (auto& group : link.groups) write_group(link, *group);
}

void write_link_summary(Link& link) {
  std::string& map = link.map;
  map += format("VLK (Version %s)- Link/Load Summary: '%s'", kVersion, link.output.c_str());
  if (link.rom_code) map += "\n\n-- Created data references segment for ROM code\n";
  write_script_sections(link);
  bool constants = false;
  for (auto& symbol : link.globals) {
    if (!symbol->segment || !equal_nocase(symbol->segment->name, "abs")) continue;
    if (!constants) map += std::string(kRule) + "\nUSER DEFINED CONSTANTS:";
    constants = true;
    map += format("\n   '%s'=%8.8X", symbol->name.c_str(), symbol->value);
  }
  map += kRule;
  map += "\nLINKER DEFINED CONSTANTS:";
  if (link.rom_code_symbol)
    map += format("\n   __rom_code_enabled = %d", static_cast<int>(link.rom_code_symbol->value));
  if (link.heap_symbol) map += format("\n   __heap_start = %8.8X", link.heap_symbol->value);
  for (auto& segment : link.segments) {
    if (!segment->start_symbol) continue;
    map += format("\n  from segment '%s'", segment->name.c_str());
    for (const Symbol* symbol : {segment->start_symbol, segment->end_symbol, segment->size_symbol})
      if (symbol) map += format("\n   %8.8X '%s'", symbol->value, symbol->name.c_str());
  }
  write_globals(link);
  bool undefined = false;
  for (auto& reference : link.references) {
    if (reference->bound) continue;
    if (!undefined) map += std::string(kRule) + "\nUNDEFINED GLOBAL SYMBOL(S):";
    undefined = true;
    map += format("\n '%s' referenced from '%s'", reference->name.c_str(),
                  module_file(reference->input).c_str());
  }
}

}  // namespace zun::vlk
