// Relocation of one segment's bytes at load time: the local ("RL") and then
// the global ("RG") records of the linked object are applied with insval,
// truncated fields are reported once per segment, and with a map file the
// references and truncations are listed there.
#include "common/format.h"
#include "linker/link.h"

namespace zun::vlk {

namespace {

size_t field_size(char size) {
  switch (size) {
    case 'B': return 1;
    case 'W': return 2;
    case 'L': return 4;
    default: return 0;
  }
}

uint32_t field_mask(char size) {
  return size == 'B' ? 0xFFu : size == 'W' ? 0xFFFFu : 0xFFFFFFFFu;
}

// HCS12 paged address: page number and the address seen through the window.
bool translate(const Link& link, uint32_t address, uint32_t& page, uint32_t& window) {
  uint32_t low = address & 0xFFFF;
  if (link.linear) {
    page = (address >> 16) & 0xFF;
    window = address;
  } else if (low >= 0x8000 && low <= 0xBFFF) {
    page = (address >> 16) & 0xFF;
    window = low;
  } else if (low >= 0x4000 && low <= 0x7FFF) {
    page = 0x3E;
    window = low;
  } else if (low >= 0xC000) {
    page = 0x3F;
    window = low;
  } else {
    page = 0;
    window = 0x8000;
    return false;
  }
  return true;
}

// The value a field of `type` receives from a paged target.
uint32_t paged_target(Link& link, uint32_t untranslated, uint32_t address, char type,
                      const std::string& failure_note) {
  uint32_t page = 0, window = 0;
  if (!translate(link, address, page, window)) {
    error(link, "unsupported translation, NATIVE assumed");
    link.console.err(failure_note);
  }
  if (type == 'P') return untranslated;
  if (type == 'F') return page;
  return window;
}

struct Listing {
  bool locals_started = false;
  bool globals_started = false;
};

void report_truncation(Link& link, Segment& segment, bool local) {
  if (segment.truncations++ != 0) return;
  warning(link, local ? "At least one local symbol reference is truncated (no more truncations "
                        "reported for this segment, check the map-file)"
                      : "At least one global symbol reference is truncated (no more truncations "
                        "reported for this segment, check the list file)");
}

// A byte distance (a short branch) that cannot reach its target would send
// the program elsewhere: an error, not a truncation.
bool short_distance_out_of_range(Link& link, const RelocRecord& r, uint32_t target,
                                 const InsvalResult& result) {
  if (r.type != 'P' || r.size != 'B' || !result.truncated) return false;
  error(link, format("8-bit displacement to %4.4X out of range at line %d of module '%s'", target,
                     r.line, r.module.c_str()));
  return true;
}

void apply_local(Link& link, Segment& segment, std::vector<uint8_t>& bytes, const RelocRecord& r,
                 const Segment& target_segment, Listing& listing) {
  uint32_t target = target_segment.reloc_base + r.value;
  uint32_t value_target = target;
  if (target_segment.paged)
    value_target = paged_target(link, target, target_segment.address + r.value, r.type,
                                format("base at %8.8X, \n", target_segment.address));
  InsvalResult result = insval(link, bytes, r.offset, segment.reloc_base, value_target, r.type, r.size);
  if (!result.ok) return;
  if (link.want_map && link.verbose) {
    if (!listing.locals_started)
      link.map += format("\n---------------------------\n\nSTATIC REFERENCES FROM SEGMENT '%s':",
                         segment.name.c_str());
    listing.locals_started = true;
    append_text(link.map, "\n  From ", Hex{segment.reloc_base + r.offset, 8}, " To ", Hex{target, 8},
                " ('", target_segment.name, "') Type '", r.type, "', Size '", r.size,
                "', Operand: ", Hex{result.value, 8});
  }
  if (!result.truncated || short_distance_out_of_range(link, r, target, result)) return;
  report_truncation(link, segment, true);
  if (link.want_map)
    link.map += format("\nReference at line: %d, module:%s, truncated from %8.8X \n", r.line,
                       r.module.c_str(), result.value);
}

void apply_global(Link& link, Segment& segment, std::vector<uint8_t>& bytes, const RelocRecord& r,
                  Listing& listing) {
  Symbol* symbol = find_global(link, symbol_name(r.target, nullptr));
  if (!symbol) fatal(link, format("no global found '%s'", r.target.c_str()));
  uint32_t target = symbol->value;
  uint32_t value_target = target;
  if (symbol->segment) {
    target = symbol->segment->reloc_base + symbol->value;
    value_target = target;
    if (symbol->segment->paged) {
      uint32_t address = symbol->segment->address + symbol->value;
      value_target = paged_target(link, address, address, r.type,
                                  format("%s, %s at %8.8X\n", symbol->name.c_str(),
                                         symbol->segment->name.c_str(), address));
    }
  }
  InsvalResult result = insval(link, bytes, r.offset, segment.reloc_base, value_target, r.type, r.size);
  if (!result.ok) return;
  uint32_t field = segment.reloc_base + r.offset;
  if (link.want_map && link.verbose) {
    if (!listing.globals_started)
      link.map += format("\n\nGLOBAL REFERENCES FROM SEGMENT '%s':", segment.name.c_str());
    listing.globals_started = true;
    append_text(link.map, symbol->segment ? "\n   '" : "\n'", symbol->name, "'(=", Hex{target, 8},
                symbol->segment ? ")" : ",linker defined)", " from ", Hex{field, 8}, " Type '", r.type,
                "', Size '", r.size, "', Operand: ", Hex{result.value, 8});
  }
  if (!result.truncated || short_distance_out_of_range(link, r, target, result)) return;
  uint32_t written = result.value & field_mask(r.size);
  if (symbol->segment) {
    report_truncation(link, segment, false);
    if (link.want_map)
      link.map += format("\nReference at line: %d, truncated from %8.8X to %8.8X\n", r.line,
                         result.value, written);
  } else if (link.want_map) {
    link.map += format("\nTruncated from %8.8X to %8.8X\n", result.value, written);
  }
}

}  // namespace

InsvalResult insval(Link& link, std::vector<uint8_t>& bytes, uint32_t offset, uint32_t base,
                    uint32_t target, char type, char size) {
  InsvalResult result;
  uint32_t amount = target;
  if (type == 'P') {
    uint32_t t = target, b = base;
    if (equal_nocase(link.type_word, "O12") && (t < 0x10000 || b < 0x10000 || (t >> 16) == (b >> 16))) {
      t &= 0xFFFF;
      b &= 0xFFFF;
    }
    amount = t - (b + offset);
  }
  size_t n = field_size(size);
  if (n == 0) {
    error(link, "Internal: Invalid size( insval )");
    result.ok = false;
    return result;
  }
  if (offset > bytes.size() || bytes.size() - offset < n) {
    error(link, "Internal: Invalid offset( insval )");
    result.ok = false;
    return result;
  }
  uint32_t addend = 0;
  for (size_t i = 0; i < n; ++i) addend = (addend << 8) | bytes[offset + i];
  if (n == 1) addend = static_cast<uint32_t>(static_cast<int8_t>(addend));
  if (n == 2) addend = static_cast<uint32_t>(static_cast<int16_t>(addend));
  int32_t signed_amount = static_cast<int32_t>(amount);
  if (n == 1) result.truncated = signed_amount < -256 || signed_amount > 255;
  if (n == 2) result.truncated = signed_amount < -65536 || signed_amount > 65535;
  // 'F' (page) and 'A' (absolute) fields take the target alone.
  result.value = (type == 'F' || type == 'A') ? target : amount + addend;
  // A relative byte is a signed distance: it must fit as one.
  if (n == 1 && type == 'P') {
    int32_t distance = static_cast<int32_t>(result.value);
    result.truncated = distance < -128 || distance > 127;
  }
  for (size_t i = 0; i < n; ++i)
    bytes[offset + i] = static_cast<uint8_t>(result.value >> (8 * (n - 1 - i)));
  return result;
}

bool relocate_segment(Link& link, Segment& segment, std::vector<uint8_t>& bytes) {
  segment.truncations = 0;
  const Input& linked = *link.linked;
  Listing listing;
  for (int pass = 0; pass < 2; ++pass) {
    std::string_view tag = pass == 0 ? "RL" : "RG";
    for (size_t i = linked.body; i < linked.text.lines.size(); ++i) {
      const std::string& line = linked.text.lines[i];
      if (linked.text.continued[i] || !line.starts_with(tag) || record_segment(line) != segment.name)
        continue;
      auto r = parse_reloc(line);
      if (!r) {
        error(link, format("unreadable relocation command '%s'", line.c_str() + 2));
        continue;
      }
      if (!r->global) {
        Segment* target = find_segment(link, r->target);
        if (!target) {
          error(link, format("non-existing segment '%s'", r->target.c_str()));
          return false;
        }
        apply_local(link, segment, bytes, *r, *target, listing);
      } else {
        apply_global(link, segment, bytes, *r, listing);
      }
    }
  }
  return true;
}

}  // namespace zun::vlk
