// Debug records: sorts the assembler's "SY:" records into module-level and
// segment-level ones, moves segment-level addresses (by the part offset in the
// linked object, by the relocation base in the load file) and writes the
// load file's "SX:" tail that the debugger reads.
#include "common/format.h"
#include "linker/link.h"

namespace zun::vlk {

namespace {

bool is_long_symbol(const std::vector<std::string_view>& f) {
  return f.size() >= 9 && f[7].size() == 8 && parse_hex(f[7]).has_value();
}

// The text of `line` from field `index` on.
std::string tail_from(std::string_view line, const std::vector<std::string_view>& f, size_t index) {
  if (index >= f.size()) return "";
  return std::string(line.substr(static_cast<size_t>(f[index].data() - line.data())));
}

std::string prefix(bool sx_form) { return sx_form ? "SX" : "SY"; }

}  // namespace

DebugScope debug_scope(std::string_view line) {
  if (line.size() < 7 || line[2] != ':' || line[4] != ':' || line[6] != ':') return DebugScope::Drop;
  char language = line[3];
  switch (line[5]) {
    case 'M':
      return DebugScope::Module;
    case 'T':
      return language == 'C' ? DebugScope::Module : DebugScope::Drop;
    case 'X': case 'Z': case 'F': case 'E':
      return DebugScope::Segment;
    case 'S': {
      if (language != 'C' || line.size() < 9 || line[8] != ':') return DebugScope::Drop;
      char symbol_class = line[7];
      if (symbol_class == 'F' || symbol_class == 'L') return DebugScope::Module;
      if (symbol_class == 'G') return DebugScope::Global;
      if (symbol_class == 'f') return DebugScope::Segment;
      // The assembler's own data symbols come in the short form, without a
      // segment or value, so nothing can place them.
      if (symbol_class == 'S')
        return is_long_symbol(split_fields(line)) ? DebugScope::Segment : DebugScope::Static;
      return DebugScope::Drop;
    }
    default:
      return DebugScope::Drop;
  }
}

void copy_module_debug(Link& link, const TextLines& text, size_t from, bool sx_form,
                       std::string& out) {
  for (size_t i = from; i < text.lines.size(); ++i) {
    const std::string& line = text.lines[i];
    if (text.continued[i] || !line.starts_with("SY")) continue;
    DebugScope scope = debug_scope(line);
    bool take = scope == DebugScope::Module ||
                (!link.loader && (scope == DebugScope::Global || scope == DebugScope::Static));
    if (!take) continue;
    out += prefix(sx_form) + line.substr(2) + "\n";
    for (size_t j = i + 1; j < text.lines.size() && text.continued[j]; ++j)
      out += text.lines[j] + "\n";
  }
}

std::optional<std::string> rewrite_segment_record(Link& link, std::string_view line,
                                                  const Segment& segment, uint32_t offset,
                                                  bool sx_form) {
  auto f = split_fields(line);
  if (f.size() < 7) return std::nullopt;
  char language = f[1].empty() ? 0 : f[1][0];
  char kind = f[2].empty() ? 0 : f[2][0];
  std::string px = prefix(sx_form);
  switch (kind) {
    case 'X': case 'Z': {
      // A:X module:line:segment:address; C:X and C:Z module:n1:n2:segment:address
      size_t expect = language == 'A' ? 7 : 8;
      if (f.size() != expect || f[expect - 2] != segment.name) return std::nullopt;
      auto address = parse_hex(f[expect - 1]);
      if (!address || !parse_dec(f[4]) || (expect == 8 && !parse_dec(f[5]))) return std::nullopt;
      std::string numbers = std::string(f[4]);
      if (expect == 8) numbers += ":" + std::string(f[5]);
      std::string seg = sx_form ? "" : segment.name + ":";
      return format("%s:%c:%c:%s:%s:%s%X\n", px.c_str(), language, kind,
                    std::string(f[3]).c_str(), numbers.c_str(), seg.c_str(), *address + offset);
    }
    case 'F': case 'E': {
      // module:segment:name:value:line
      if (f.size() != 8 || f[4] != segment.name) return std::nullopt;
      auto value = parse_hex(f[6]);
      if (!value || !parse_dec(f[7])) return std::nullopt;
      bool wide = language == 'C' || (kind == 'F' && !sx_form);
      std::string seg = sx_form ? "" : segment.name + ":";
      return format(wide ? "%s:%c:%c:%s:%s%s:%8.8X:%s\n" : "%s:%c:%c:%s:%s%s:%X:%s\n", px.c_str(),
                    language, kind, std::string(f[3]).c_str(), seg.c_str(),
                    std::string(f[5]).c_str(), *value + offset, std::string(f[7]).c_str());
    }
    case 'S': {
      // class:module:segment:name:value:rest
      if (!is_long_symbol(f) || f[5] != segment.name) return std::nullopt;
      uint32_t value = *parse_hex(f[7]) + offset;
      std::string seg = sx_form ? "" : segment.name + ":";
      return format("%s:C:S:%c:%s:%s%s:%8.8X:%s\n", px.c_str(), f[3].empty() ? '?' : f[3][0],
                    std::string(f[4]).c_str(), seg.c_str(), std::string(f[6]).c_str(), value,
                    tail_from(line, f, 8).c_str());
    }
    default:
      return std::nullopt;
  }
}

namespace {

// 'SY:C:S:G:<module>:<name>:<symbol>:<type>' gets the symbol's address.
std::optional<std::string> global_symbol_record(Link& link, std::string_view line,
                                                const Segment& segment) {
  auto f = split_fields(line);
  if (f.size() < 7) return std::nullopt;
  Symbol* symbol = find_global(link, symbol_name(f[6], nullptr));
  if (!symbol || symbol->segment != &segment) return std::nullopt;
  return format("SX:C:S:G:%s:%s:%s:%8.8X:%s\n", std::string(f[4]).c_str(),
                std::string(f[5]).c_str(), std::string(f[6]).c_str(),
                symbol->value + segment.reloc_base, tail_from(line, f, 7).c_str());
}

}  // namespace

void write_debug_tail(Link& link, std::string& out) {
  const Input& linked = *link.linked;
  if (link.have_entry) out += format("SX:C:s:%s\n", link.entry.c_str());
  copy_module_debug(link, linked.text, linked.body, true, out);
  for (const Segment* segment : link.emission) {
    for (size_t i = linked.body; i < linked.text.lines.size(); ++i) {
      const std::string& line = linked.text.lines[i];
      if (linked.text.continued[i] || !line.starts_with("SY")) continue;
      DebugScope scope = debug_scope(line);
      std::optional<std::string> record;
      if (scope == DebugScope::Segment)
        record = rewrite_segment_record(link, line, *segment, segment->reloc_base, true);
      else if (scope == DebugScope::Global)
        record = global_symbol_record(link, line, *segment);
      if (record) out += *record;
    }
  }
}

}  // namespace zun::vlk
