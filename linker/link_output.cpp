// The linked object: merges the segment parts of all inputs, copies their
// code, global, relocation and debug records into blocks with offsets moved
// to the merged segments, and writes the blocks as one object file. Also the
// library archive, which is the inputs copied between "A" and "E".
#include "common/format.h"
#include "common/path.h"
#include "linker/link.h"

namespace zun::vlk {

void merge_offsets(Link& link) {
  for (auto& segment : link.segments) {
    uint32_t running = 0;
    for (auto& input : link.inputs)
      for (SegmentPart& part : input->parts)
        if (part.segment == segment.get()) {
          part.offset = running;
          running += part.size;
        }
  }
  if (link.loader) adjust_definitions(link);
}

namespace {

std::string input_file_name(const Input& input) {
  if (!input.library) return input.name.empty() ? input.path : input.name;
  return format("%s (library %s)", input.path.c_str(), input.library->path.c_str());
}

// "RL:seg:module:offset:type:size:value:symseg:line" or
// "RG:seg:module:offset:type:size:symbol:line", with the offset and value in
// eight hexadecimal digits. Written field by field: a large link has
// thousands of them.
void write_relocation(std::string& out, const RelocRecord& r, uint32_t offset, uint32_t value) {
  append_text(out, r.global ? "RG:" : "RL:", r.segment, ':', r.module, ':', Hex{offset, 8}, ':',
              r.type, ':', r.size, ':');
  if (!r.global) append_text(out, Hex{value, 8}, ':');
  append_text(out, r.target, ':', Dec{r.line}, '\n');
}

void copy_relocations(Link& link, Input& input, const SegmentPart& part, std::string_view tag) {
  const Segment& segment = *part.segment;
  for (size_t i = input.body; i < input.text.lines.size(); ++i) {
    const std::string& line = input.text.lines[i];
    if (input.text.continued[i] || !line.starts_with(tag) || record_segment(line) != segment.name)
      continue;
    auto r = parse_reloc(line);
    if (!r) {
      // In loader mode the references were read already, with their errors.
      if (tag == "RL" || !link.loader)
        error(link, format("unreadable relocation command '%s'", line.c_str() + 2));
      continue;
    }
    // A field outside the module's own bytes would overwrite the next
    // module's code, or bytes that are not there at all.
    uint32_t field = r->size == 'B' ? 1 : r->size == 'W' ? 2 : r->size == 'L' ? 4 : 0;
    if (r->offset > part.size || field > part.size - r->offset) {
      error(link, format("relocation at offset %X of segment '%s' lies outside module '%s' in file '%s'",
                         r->offset, segment.name.c_str(), r->module.c_str(), input_file_name(input).c_str()));
      continue;
    }
    uint32_t value = r->value;
    // A value in abs is a fixed address (the target of a branch from a
    // segment that moves), whatever bytes other modules put into abs.
    if (!r->global && !equal_nocase(r->target, "abs")) {
      Segment* target = find_segment(link, r->target);
      if (SegmentPart* target_part = target ? find_part(input, target) : nullptr)
        value += target_part->offset;
    }
    write_relocation(link.reloc_block, *r, r->offset + part.offset, value);
  }
}

void copy_globals(Link& link, Input& input, const SegmentPart& part) {
  for (size_t i = input.body; i < input.text.lines.size(); ++i) {
    const std::string& line = input.text.lines[i];
    if (input.text.continued[i] || !line.starts_with("G:") ||
        record_segment(line) != part.segment->name)
      continue;
    auto g = parse_global(line);
    if (!g) {
      if (!link.loader) error(link, format("unreadable global definition '%s'", line.c_str() + 1));
      continue;
    }
    append_text(link.global_block, "G:", g->segment, ':', g->module, ':',
                Hex{g->value + part.offset, 8}, ':', g->name, '\n');
  }
}

// Each record is read once and goes to the part of the segment it names;
// the parts' records then follow one another in "seg:" order.
void copy_segment_debug(Link& link, Input& input) {
  std::vector<std::string> groups(input.parts.size());
  for (size_t i = input.body; i < input.text.lines.size(); ++i) {
    const std::string& line = input.text.lines[i];
    if (input.text.continued[i] || !line.starts_with("SY")) continue;
    DebugScope scope = debug_scope(line);
    if (scope == DebugScope::Segment) {
      auto r = parse_segment_debug(line);
      for (size_t k = 0; r && k < input.parts.size(); ++k)
        if (input.parts[k].segment->name == r->segment)
          write_segment_debug(line, *r, input.parts[k].offset, false, groups[k]);
    } else if (scope == DebugScope::Global && link.loader) {
      // The symbol record of a global travels with the segment that holds it.
      RecordFields f = split_record(line);
      Symbol* symbol = f.count > 6 ? find_global(link, symbol_name(f.field[6], nullptr)) : nullptr;
      for (size_t k = 0; symbol && symbol->input == &input && k < input.parts.size(); ++k)
        if (input.parts[k].segment == symbol->segment) append_text(groups[k], line, '\n');
    }
  }
  for (const std::string& group : groups) link.segment_debug_block += group;
}

}  // namespace

void copy_inputs(Link& link) {
  for (auto& input : link.inputs) {
    if (link.debug)
      copy_module_debug(link, input->text, input->body, false, link.module_debug_block);
    for (const SegmentPart& part : input->parts) {
      part.segment->size += part.size;
      for (size_t i = input->body; i < input->text.lines.size(); ++i)
        if (!input->text.continued[i] && is_code_record_of(input->text.lines[i], part.segment->name))
          append_text(link.code_block, input->text.lines[i], '\n');
      copy_relocations(link, *input, part, "RL");
      copy_relocations(link, *input, part, "RG");
      copy_globals(link, *input, part);
    }
    if (link.debug) copy_segment_debug(link, *input);
  }
}

std::string linked_object_text(Link& link, const std::string& file_field) {
  std::string text = format("mod:%s:%s:%s\n", link.output_base.c_str(), link.type_word.c_str(),
                            file_field.c_str());
  for (auto& segment : link.segments)
    text += format(segment->paged ? "seg:!%s:0x%X\n" : "seg:%s:0x%X\n", segment->name.c_str(),
                   segment->size);
  for (auto& module : link.modules)
    text += format("xmod:%s:%s:%s\n", module->name.c_str(), module->type.c_str(),
                   module->file.c_str());
  text += link.code_block;
  text += link.global_block;
  text += link.reloc_block;
  if (link.debug) {
    text += link.module_debug_block;
    text += link.segment_debug_block;
  }
  text += "e\n";
  link.code_block.clear();
  link.global_block.clear();
  link.reloc_block.clear();
  link.module_debug_block.clear();
  link.segment_debug_block.clear();
  return text;
}

namespace {

// 'SY:?:M:<module>$<path>' with the path's directory replaced.
std::string substitute_path(Link& link, const std::string& line) {
  size_t dollar = line.find('$');
  if (dollar == std::string::npos)
    fatal(link, format("can't substitute path '%s'\n", line.c_str()));
  std::string path = line.substr(dollar + 1);
  if (path_last_sep(path) == std::string::npos)
    fatal(link, format("can't substitute path '%s'\n", path.c_str()));
  return line.substr(0, dollar + 1) + link.source_dir + "/" + path_file_name(path);
}

bool is_module_record(const std::string& line) {
  return line.size() > 7 && line.starts_with("SY:") && line[5] == 'M' && line[6] == ':';
}

}  // namespace

std::string archive_text(Link& link) {
  std::string text = "A\n";
  for (auto& input : link.inputs) {
    const TextLines& lines = input->text;
    // Members are whole objects; anything else would make an archive that
    // every later link trips over.
    if (lines.lines.empty() || !lines.lines[0].starts_with("mod:")) {
      error(link, format("file '%s' has invalid header", input->name.c_str()));
      continue;
    }
    if (!has_end_record(lines)) {
      error(link, format("file '%s' is truncated", input->name.c_str()));
      continue;
    }
    for (size_t i = 0; i < lines.lines.size(); ++i) {
      const std::string& line = lines.lines[i];
      if (!link.debug) {
        // Debug records go, and with them the continuation lines of types.
        if (lines.continued[i] || (!line.empty() && line[0] == 'S') ||
            (line.size() > 1 && line[1] == 'Y'))
          continue;
        text += line + "\n";
      } else if (link.substitute_source && !lines.continued[i] && is_module_record(line)) {
        text += substitute_path(link, line) + "\n";
      } else {
        text += line + "\n";
      }
    }
  }
  text += "E\n";
  return text;
}

}  // namespace zun::vlk
