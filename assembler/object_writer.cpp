// Segments, the byte emitters, relocation entries and the object file.
// Code records and relocation records collect in memory during pass 2 (one
// text per segment, so any number of segments works); after it the object
// file is put together from them in the order the linker reads: mod, seg, C,
// RG, RL, G, SY, e.
#include "assembler/internal.h"
#include "common/format.h"

namespace zun::hasm {

Segment* find_segment(Assembly& as, std::string_view name) {
  auto it = as.segment_index.find(name);
  return it == as.segment_index.end() ? nullptr : it->second;
}

namespace {

Segment* make_segment(Assembly& as, std::string_view name) {
  Segment* s = find_segment(as, name);
  if (s) return s;
  s = &as.segments.emplace_back();
  s->name = name;
  as.segment_index.emplace(s->name, s);
  if (name == "abs") as.abs_segment = s;
  return s;
}

constexpr char HexDigits[] = "0123456789ABCDEF";

}  // namespace

Segment* abs_segment(Assembly& as) { return make_segment(as, "abs"); }

Segment* select_segment(Assembly& as, std::string_view name) {
  if (as.current) {
    if (as.current->name == name) return as.current;
    as.current->pc = as.pc;
  }
  flush_record(as);
  Segment* s = make_segment(as, name);
  as.current = s;
  as.pc = s->pc;
  return s;
}

void flush_record(Assembly& as) {
  if (as.record.empty() || !as.record_segment) return;
  std::string line;
  line.reserve(as.record.size() + as.record_segment->name.size() + 4);
  line += "C:";
  line += as.record_segment->name;
  line += '\t';
  line += as.record;
  line += '\n';
  as.record_segment->code += line;
  as.record.clear();
}

void emit_byte(Assembly& as, uint8_t b) {
  if (as.pass == 2) {
    if (as.record_segment != as.current) {
      flush_record(as);
      as.record_segment = as.current;
    }
    as.record += HexDigits[b >> 4];
    as.record += HexDigits[b & 15];
    if (as.record.size() >= 32) flush_record(as);
    if (as.line.bytes.size() < 120) as.line.bytes.push_back(b);
  }
  ++as.pc;
}

void emit_word(Assembly& as, uint16_t w) {
  emit_byte(as, static_cast<uint8_t>(w >> 8));
  emit_byte(as, static_cast<uint8_t>(w));
}

void emit_long(Assembly& as, uint32_t l) {
  emit_word(as, static_cast<uint16_t>(l >> 16));
  emit_word(as, static_cast<uint16_t>(l));
}

void emit_zeros(Assembly& as, uint32_t count) {
  if (as.pass == 1) {
    as.pc += count;
    return;
  }
  for (uint32_t i = 0; i < count; ++i) emit_byte(as, 0);
}

namespace {

void append_hex8(std::string& out, uint32_t v) {
  for (int shift = 28; shift >= 0; shift -= 4) out += HexDigits[(v >> shift) & 15];
}

// "<tag>:<segment>:<module>:<offset>:<type>:<size>:" common to RG and RL.
std::string record_head(Assembly& as, const char* tag, uint32_t offset, RelocType type,
                        char size_letter) {
  std::string r = tag;
  r += as.current->name;
  r += ':';
  r += as.module_name;
  r += ':';
  append_hex8(r, offset);
  r += ':';
  r += static_cast<char>(type);
  r += ':';
  r += size_letter;
  r += ':';
  return r;
}

}  // namespace

void relocation(Assembly& as, const ExprResult& e, int size, RelocType type) {
  if (as.pass != 2 || !e.relocatable) return;
  char size_letter = size == 1 ? 'B' : size == 2 ? 'W' : 'L';
  uint32_t offset = as.pc - static_cast<uint32_t>(size);
  Symbol* s = e.reloc_symbol;
  if (s && (s->flags & (SymGlobal | SymExternal))) {
    // RG:<segment>:<module>:<offset>:<type>:<size>:<symbol>:<line>
    std::string r = record_head(as, "RG:", offset, type, size_letter);
    r += s->name;
    r += ':';
    r += std::to_string(as.line_in_file);
    r += '\n';
    as.global_relocs += r;
  } else if (e.reloc_segment) {
    // RL:<segment>:<module>:<offset>:<type>:<size>:<value>:<target segment>:<line>
    std::string r = record_head(as, "RL:", offset, type, size_letter);
    append_hex8(r, e.reloc_value);
    r += ':';
    r += e.reloc_segment->name;
    r += ':';
    r += std::to_string(as.line_in_file);
    r += '\n';
    as.local_relocs += r;
  } else {
    error(as, "Referenced symbol has no segment");
  }
}

std::string object_text(Assembly& as) {
  if (as.current) as.current->pc = as.pc;
  flush_record(as);
  std::string globals;
  write_global_symbols(as, globals);
  std::string text = format("mod:%s:%s:%s\n", as.module_name.c_str(), "O09", as.object_name.c_str());
  for (const Segment& s : as.segments)
    text += format(s.far ? "seg:!%s:%u\n" : "seg:%s:%u\n", s.name.c_str(), s.pc);
  for (const Segment& s : as.segments) text += s.code;
  text += as.global_relocs;
  text += as.local_relocs;
  text += globals;
  text += as.debug_records;
  text += "e\n";
  return text;
}

}  // namespace zun::hasm
