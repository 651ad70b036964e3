// Reading the text object format: field splitting, the number forms, the
// relocation and global records, the module header with its "seg:" and
// "xmod:" records, and the code bytes of one segment of the linked object.
#include "common/format.h"
#include "common/number.h"
#include "linker/link.h"

namespace zun::vlk {

std::vector<std::string_view> split_fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    size_t colon = line.find(':', start);
    if (colon == std::string_view::npos) {
      fields.push_back(line.substr(start));
      return fields;
    }
    fields.push_back(line.substr(start, colon - start));
    start = colon + 1;
  }
}

RecordFields split_record(std::string_view line) {
  RecordFields f;
  const char* start = line.data();
  const char* end = start + line.size();
  for (const char* p = start;; ++p) {
    if (p != end && *p != ':') continue;
    if (f.count < f.field.size())
      f.field[f.count] = std::string_view(start, static_cast<size_t>(p - start));
    ++f.count;
    if (p == end) return f;
    start = p + 1;
  }
}

// Numbers beyond 32 bits are refused rather than wrapped, so that a mistyped
// address is reported instead of placing a program somewhere else.
std::optional<uint32_t> parse_hex(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    int d = hex_digit(c);
    if (d < 0 || value > 0x0FFFFFFFu) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  return value;
}

std::optional<uint32_t> parse_dec(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    uint32_t d = static_cast<uint32_t>(c - '0');
    if (value > (0xFFFFFFFFu - d) / 10) return std::nullopt;
    value = value * 10 + d;
  }
  return value;
}

std::optional<uint32_t> parse_size(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) return parse_hex(text.substr(2));
  if (text.starts_with("$")) return parse_hex(text.substr(1));
  if (!text.empty() && text[0] >= '0' && text[0] <= '9') return parse_dec(text);
  return parse_hex(text);
}

std::string_view record_segment(std::string_view line) {
  size_t start = line.find(':');
  if (start == std::string_view::npos) return {};
  size_t end = start + 1;
  while (end < line.size() && line[end] != ':' && static_cast<signed char>(line[end]) > 32) ++end;
  return line.substr(start + 1, end - start - 1);
}

bool is_code_record_of(std::string_view line, std::string_view segment) {
  return line.starts_with("C:") && record_segment(line) == segment;
}

// Only debug records carry continuation lines (type texts ending in '\').
void mark_continuations(TextLines& text) {
  text.continued.assign(text.lines.size(), 0);
  bool open = false;
  for (size_t i = 0; i < text.lines.size(); ++i) {
    const std::string& line = text.lines[i];
    text.continued[i] = open ? 1 : 0;
    bool debug = open || line.starts_with("SY") || line.starts_with("SX");
    open = debug && !line.empty() && line.back() == '\\';
  }
}

// "RL:seg:module:offset:type:size:value:symseg:line" and
// "RG:seg:module:offset:type:size:symbol:line".
std::optional<RelocRecord> parse_reloc(std::string_view line) {
  RecordFields fields = split_record(line);
  const auto& f = fields.field;
  RelocRecord r;
  if (f[0] == "RL") {
    if (fields.count != 9) return std::nullopt;
  } else if (f[0] == "RG") {
    if (fields.count != 8) return std::nullopt;
    r.global = true;
  } else {
    return std::nullopt;
  }
  auto offset = parse_hex(f[3]);
  if (!offset || f[4].size() != 1 || f[5].size() != 1 || f[1].empty()) return std::nullopt;
  r.type = f[4][0];
  if (r.type != 'O' && r.type != 'P' && r.type != 'F' && r.type != 'A') return std::nullopt;
  r.segment = f[1];
  r.module = f[2];
  r.offset = *offset;
  r.size = f[5][0];
  std::optional<uint32_t> line_number;
  if (r.global) {
    r.target = f[6];
    line_number = parse_dec(f[7]);
  } else {
    auto value = parse_hex(f[6]);
    if (!value) return std::nullopt;
    r.value = *value;
    r.target = f[7];
    line_number = parse_dec(f[8]);
  }
  if (!line_number || r.target.empty()) return std::nullopt;
  r.line = static_cast<int>(*line_number);
  return r;
}

// "G:segment:module:value:name".
std::optional<GlobalRecord> parse_global(std::string_view line) {
  RecordFields fields = split_record(line);
  const auto& f = fields.field;
  if (fields.count != 5 || f[0] != "G" || f[1].empty() || f[4].empty()) return std::nullopt;
  auto value = parse_hex(f[3]);
  if (!value) return std::nullopt;
  return GlobalRecord{std::string(f[1]), std::string(f[2]), std::string(f[4]), *value};
}

namespace {

bool read_segment_record(Link& link, Input& input, std::string_view line) {
  std::string_view rest = line.substr(4);
  bool paged = rest.starts_with("!");
  if (paged) rest.remove_prefix(1);
  size_t colon = rest.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  auto size = parse_size(rest.substr(colon + 1));
  if (!size) return false;
  Segment* segment = enter_segment(link, rest.substr(0, colon));
  segment->paged = paged;
  if (SegmentPart* part = find_part(input, segment)) {
    part->size = *size;
  } else {
    input.parts.push_back(SegmentPart{segment, 0, *size});
  }
  return true;
}

bool read_module_record(std::string_view line, size_t skip, Module& module) {
  auto f = split_fields(line.substr(skip));
  if (f.size() < 2 || f[0].empty() || f[1].empty()) return false;
  module.name = f[0];
  module.type = f[1];
  if (f.size() > 2) {
    size_t at = static_cast<size_t>(f[2].data() - line.data());
    module.file = std::string(line.substr(at));
  }
  return true;
}

}  // namespace

bool read_module_header(Link& link, Input& input, bool as_linked_object) {
  const auto& lines = input.text.lines;
  if (lines.empty() || !lines[0].starts_with("mod:")) return false;
  auto module = std::make_unique<Module>();
  if (!read_module_record(lines[0], 4, *module)) return false;
  module->input = &input;
  size_t i = 1;
  for (; i < lines.size() && lines[i].starts_with("seg:"); ++i)
    if (!read_segment_record(link, input, lines[i])) return false;
  if (i == lines.size()) return false;
  input.module = module.get();
  input.modules.push_back(module.get());
  link.modules.push_back(std::move(module));
  for (; i < lines.size() && lines[i].starts_with("xmod:"); ++i) {
    Module xmod;
    if (!read_module_record(lines[i], 5, xmod)) {
      error(link, format("parse error in xmod '%s'", lines[i].c_str()));
      continue;
    }
    if (as_linked_object || find_input_module(input, xmod.name)) continue;
    auto entry = std::make_unique<Module>(std::move(xmod));
    entry->input = &input;
    input.modules.push_back(entry.get());
    link.modules.push_back(std::move(entry));
  }
  input.body = i;
  return true;
}

bool has_end_record(const TextLines& text) {
  const auto& lines = text.lines;
  size_t last = lines.size();
  while (last > 0 && lines[last - 1].empty()) --last;
  if (last == 0) return false;
  if (lines[0] != "A") return lines[last - 1] == "e" && !text.continued[last - 1];
  if (lines[last - 1] != "E") return false;
  bool member_open = false;
  for (size_t i = 1; i + 1 < last; ++i) {
    if (text.continued[i]) continue;
    if (lines[i].starts_with("mod:")) {
      if (member_open) return false;
      member_open = true;
    } else if (lines[i] == "e") {
      member_open = false;
    }
  }
  return !member_open;
}

bool read_segment_bytes(Link& link, const Segment& segment, std::vector<uint8_t>& bytes) {
  const Input& linked = *link.linked;
  size_t filled = 0;
  for (size_t i = linked.body; i < linked.text.lines.size(); ++i) {
    const std::string& line = linked.text.lines[i];
    if (linked.text.continued[i] || !is_code_record_of(line, segment.name)) continue;
    size_t pos = 2 + segment.name.size() + 1;
    while (pos < line.size() && line[pos] >= '0') {
      if (pos + 1 >= line.size()) return false;
      int hi = hex_digit(line[pos]), lo = hex_digit(line[pos + 1]);
      if (hi < 0 || lo < 0 || filled >= bytes.size()) return false;
      bytes[filled++] = static_cast<uint8_t>(hi * 16 + lo);
      pos += 2;
    }
  }
  return true;
}

}  // namespace zun::vlk
