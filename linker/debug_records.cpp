// Debug records: sorts the assembler's "SY:" records into module-level and
// segment-level ones, moves segment-level addresses (by the part offset in the
// linked object, by the relocation base in the load file) and writes the
// load file's "SX:" tail that the debugger reads.
#include <map>

#include "common/format.h"
#include "linker/link.h"

namespace zun::vlk {

namespace {

bool is_long_symbol(const RecordFields& f) {
  return f.count >= 9 && f.field[7].size() == 8 && parse_hex(f.field[7]).has_value();
}

// The text of `line` from field `index` on.
std::string_view tail_from(std::string_view line, const RecordFields& f, size_t index) {
  if (index >= f.count) return {};
  return line.substr(static_cast<size_t>(f.field[index].data() - line.data()));
}

std::string_view prefix(bool sx_form) { return sx_form ? "SX" : "SY"; }

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
        return is_long_symbol(split_record(line)) ? DebugScope::Segment : DebugScope::Static;
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
    append_text(out, prefix(sx_form), std::string_view(line).substr(2), '\n');
    for (size_t j = i + 1; j < text.lines.size() && text.continued[j]; ++j)
      append_text(out, text.lines[j], '\n');
  }
}

std::optional<SegmentDebugRecord> parse_segment_debug(std::string_view line) {
  SegmentDebugRecord r;
  r.fields = split_record(line);
  const auto& f = r.fields.field;
  size_t count = r.fields.count;
  if (count < 7) return std::nullopt;
  r.language = f[1].empty() ? 0 : f[1][0];
  r.kind = f[2].empty() ? 0 : f[2][0];
  std::optional<uint32_t> value;
  switch (r.kind) {
    case 'X': case 'Z': {
      // A:X module:line:segment:address; C:X and C:Z module:n1:n2:segment:address
      size_t expect = r.language == 'A' ? 7 : 8;
      if (count != expect || !parse_dec(f[4]) || (expect == 8 && !parse_dec(f[5])))
        return std::nullopt;
      r.segment = f[expect - 2];
      value = parse_hex(f[expect - 1]);
      break;
    }
    case 'F': case 'E':
      // module:segment:name:value:line
      if (count != 8 || !parse_dec(f[7])) return std::nullopt;
      r.segment = f[4];
      value = parse_hex(f[6]);
      break;
    case 'S':
      // class:module:segment:name:value:rest
      if (!is_long_symbol(r.fields)) return std::nullopt;
      r.segment = f[5];
      value = parse_hex(f[7]);
      break;
    default:
      return std::nullopt;
  }
  if (!value) return std::nullopt;
  r.value = *value;
  return r;
}

void write_segment_debug(std::string_view line, const SegmentDebugRecord& r, uint32_t offset,
                         bool sx_form, std::string& out) {
  const auto& f = r.fields.field;
  std::string_view px = prefix(sx_form);
  switch (r.kind) {
    case 'X': case 'Z':
      append_text(out, px, ':', r.language, ':', r.kind, ':', f[3], ':', f[4], ':');
      if (r.language != 'A') append_text(out, f[5], ':');
      if (!sx_form) append_text(out, r.segment, ':');
      append_text(out, Hex{r.value + offset}, '\n');
      break;
    case 'F': case 'E': {
      bool wide = r.language == 'C' || (r.kind == 'F' && !sx_form);
      append_text(out, px, ':', r.language, ':', r.kind, ':', f[3], ':');
      if (!sx_form) append_text(out, r.segment, ':');
      append_text(out, f[5], ':', Hex{r.value + offset, wide ? 8 : 1}, ':', f[7], '\n');
      break;
    }
    default:
      append_text(out, px, ":C:S:", f[3].empty() ? '?' : f[3][0], ':', f[4], ':');
      if (!sx_form) append_text(out, r.segment, ':');
      append_text(out, f[6], ':', Hex{r.value + offset, 8}, ':', tail_from(line, r.fields, 8),
                  '\n');
      break;
  }
}

namespace {

// 'SY:C:S:G:<module>:<name>:<symbol>:<type>' gets the symbol's address.
void write_global_symbol_record(std::string_view line, const RecordFields& fields,
                                const Symbol& symbol, std::string& out) {
  const auto& f = fields.field;
  append_text(out, "SX:C:S:G:", f[4], ':', f[5], ':', f[6], ':',
              Hex{symbol.value + symbol.segment->reloc_base, 8}, ':', tail_from(line, fields, 7),
              '\n');
}

}  // namespace

// The segment-level records go out grouped by segment, in emission order;
// each record is read once and goes to the group of the segment it names.
void write_debug_tail(Link& link, std::string& out) {
  const Input& linked = *link.linked;
  if (link.have_entry) out += format("SX:C:s:%s\n", link.entry.c_str());
  copy_module_debug(link, linked.text, linked.body, true, out);
  std::map<const Segment*, std::string> groups;
  for (size_t i = linked.body; i < linked.text.lines.size(); ++i) {
    const std::string& line = linked.text.lines[i];
    if (linked.text.continued[i] || !line.starts_with("SY")) continue;
    DebugScope scope = debug_scope(line);
    if (scope == DebugScope::Segment) {
      auto r = parse_segment_debug(line);
      const Segment* segment = r ? find_segment(link, r->segment) : nullptr;
      if (segment) write_segment_debug(line, *r, segment->reloc_base, true, groups[segment]);
    } else if (scope == DebugScope::Global) {
      RecordFields f = split_record(line);
      Symbol* symbol = f.count >= 7 ? find_global(link, symbol_name(f.field[6], nullptr)) : nullptr;
      if (symbol && symbol->segment)
        write_global_symbol_record(line, f, *symbol, groups[symbol->segment]);
    }
  }
  for (const Segment* segment : link.emission) {
    auto group = groups.find(segment);
    if (group != groups.end()) out += group->second;
  }
}

}  // namespace zun::vlk
