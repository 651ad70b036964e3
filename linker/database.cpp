// The link database: input files, their modules and segment parts, the
// segment list, the header and type check of every input, and the segment
// option -R that enters a segment before any object names it.
#include "common/format.h"
#include "linker/link.h"

namespace zun::vlk {

Segment* find_segment(Link& link, std::string_view name) {
  for (auto& segment : link.segments)
    if (segment->name == name) return segment.get();
  return nullptr;
}

Segment* enter_segment(Link& link, std::string_view name) {
  if (Segment* segment = find_segment(link, name)) return segment;
  auto segment = std::make_unique<Segment>();
  segment->name = name;
  Segment* entered = segment.get();
  link.segments.push_back(std::move(segment));
  enter_segment_symbols(link, *entered);
  return entered;
}

// A name given twice, spelled the same, is one input.
Input* enter_input(Link& link, const std::string& name, const std::string& path) {
  if (!name.empty())
    for (auto& input : link.inputs)
      if (input->name == name && !input->extracted) return input.get();
  auto input = std::make_unique<Input>();
  input->name = name;
  input->path = path;
  link.inputs.push_back(std::move(input));
  return link.inputs.back().get();
}

Module* find_input_module(Input& input, std::string_view name) {
  for (Module* module : input.modules)
    if (module->name == name) return module;
  return nullptr;
}

SegmentPart* find_part(Input& input, const Segment* segment) {
  for (SegmentPart& part : input.parts)
    if (part.segment == segment) return &part;
  return nullptr;
}

bool check_module(Link& link, Input& input, bool as_linked_object) {
  const std::string& name = input.name.empty() ? input.path : input.name;
  if (!read_module_header(link, input, as_linked_object)) {
    error(link, format("file '%s' has invalid header", name.c_str()));
    return false;
  }
  // A file cut short (a full disk, a killed build) would link into a
  // program whose last fields were never relocated.
  if (!has_end_record(input.text)) {
    error(link, format("file '%s' is truncated", name.c_str()));
    return false;
  }
  if (link.type_word.empty()) {
    link.type_word = input.module->type;
  } else if (input.module->type != link.type_word) {
    error(link, format("can't link type '%s' with type '%s'", link.type_word.c_str(),
                       input.module->type.c_str()));
    return false;
  }
  return true;
}

// -R name:address or -R name:+other.
void segment_option(Link& link, const std::string& value) {
  size_t colon = value.find(':');
  if (colon == std::string::npos) {
    error(link, "expected ':' in segment directive, check options");
    return;
  }
  std::string name = value.substr(0, colon);
  if (name.size() > kMaxSegmentName) {
    name.resize(kMaxSegmentName);
    warning(link, format("segment name '%s' is truncated", name.c_str()));
  }
  std::string_view rest = std::string_view(value).substr(colon + 1);
  if (rest.starts_with("+")) {
    rest.remove_prefix(1);
    while (!rest.empty() && static_cast<signed char>(rest[0]) <= 32) rest.remove_prefix(1);
    if (rest.empty()) {
      error(link, "no segment to follow, check options");
      return;
    }
    Segment* other = find_segment(link, rest);
    if (!other) {
      error(link, format("invalid segment '%s' to follow, check options",
                         std::string(rest).c_str()));
      return;
    }
    Segment* segment = enter_segment(link, name);
    if (segment == other) return;  // following itself would place it nowhere
    segment->follows = other;
    segment->address = kUnset;
    return;
  }
  auto address = parse_size(rest);
  if (!address) {
    error(link, "unexpected segment base value, check options");
    return;
  }
  Segment* segment = enter_segment(link, name);
  segment->address = *address;
  segment->follows = nullptr;
}

}  // namespace zun::vlk
