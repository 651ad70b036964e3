// The watch model: building rows from types, expanding, addresses, reading,
// value texts in the five views, editing, and the session and kept tables.
#include "debugger/sld/watch.h"

#include "common/format.h"
#include "common/number.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zun::sld {

namespace {

uint8_t default_format(int kind) {
  switch (kind) {
    case KIND_UNSIGNED: return FORMAT_UNSIGNED;
    case KIND_POINTER:
    case KIND_ARRAY: return FORMAT_HEX;
    case KIND_FLOAT: return FORMAT_IEEE;
    default: return FORMAT_SIGNED;
  }
}

bool is_struct_node(char kind) {
  return kind == NODE_UNION || kind == NODE_STRUCT || kind == NODE_STRUCT_BITS;
}

uint32_t width_mask(uint32_t width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1; }

float bits_to_float(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

std::string ieee_text(uint32_t bits) { return format("%e", static_cast<double>(bits_to_float(bits))); }

std::string char_suffix(uint32_t value) {
  unsigned c = value & 0xFF;
  return c >= 0x20 && c <= 0x7E ? format(" '%c'", static_cast<char>(c)) : std::string();
}

// The value of its low `bits` bits as a two's complement number.
int32_t sign_extended(uint32_t v, int bits) {
  if (bits <= 0 || bits >= 32) return static_cast<int32_t>(v);
  uint32_t sign = 1u << (bits - 1);
  v &= (sign << 1) - 1;
  return static_cast<int32_t>(v ^ sign) - static_cast<int32_t>(sign);
}

// The text of the unsigned, long, floating and address kinds in a view.
std::string plain_text(uint32_t v, uint32_t ieee_bits, uint8_t format_) {
  switch (format_) {
    case FORMAT_HEX: return format("0x%X", v);
    case FORMAT_SIGNED: return format("%d", static_cast<int32_t>(v));
    case FORMAT_IEEE: return ieee_text(ieee_bits);
    case FORMAT_BINARY: return to_binary_string(v, 32);
    default: return format("%u", v);
  }
}

// The " 'c'" a one-byte row's text carries is no part of the number.
std::string without_char_suffix(const std::string& text) {
  size_t n = text.size();
  if (n >= 4 && text[n - 1] == '\'' && text[n - 3] == '\'' && text[n - 4] == ' ')
    return text.substr(0, n - 4);
  return text;
}

bool blank_text(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

std::vector<WatchEntry*> WatchEntry::children() const {
  std::vector<WatchEntry*> out;
  if (pointee) out.push_back(pointee.get());
  for (const auto& e : elements) out.push_back(e.get());
  for (const auto& m : members) out.push_back(m.get());
  return out;
}

SldWatches::SldWatches(Sld& model, SldTarget& target, SldHost& host)
    : model_(model), target_(target), host_(host) {}

// ---- building ----

void SldWatches::build(WatchEntry& e, int type, WatchEntry* built_under) {
  const TypeTable& types = model_.types();
  int kind = types.type_kind(type);
  if (e.format == FORMAT_UNSET) e.format = default_format(kind);
  e.type = type;
  switch (kind) {
    case KIND_SIGNED:
    case KIND_UNSIGNED:
    case KIND_FLOAT:
    case KIND_EMPTY:
      e.node_kind = NODE_VALUE;
      e.editable = true;
      e.size = types.type_size(type);
      if (types.type_letter(type) == 'B') {
        e.node_kind = NODE_BIT_FIELD;
        e.bit_width = static_cast<uint16_t>(std::max(0, types.type_bit_width(type)));
        e.bit_shift = static_cast<uint16_t>(std::max(0, types.type_bit_offset(type)));
        if (built_under) built_under->node_kind = NODE_STRUCT_BITS;
      }
      break;
    case KIND_POINTER:
      e.size = types.type_size(type);
      e.pointee_not_pointer = types.type_kind(types.type_pointee(type)) != KIND_POINTER;
      if (types.type_letter(type) == 'F') {
        e.node_kind = NODE_FUNCTION_POINTER;
      } else {
        e.node_kind = NODE_POINTER;
        e.has_children = true;
        e.editable = true;
      }
      break;
    case KIND_ARRAY:
      e.node_kind = NODE_ARRAY;
      e.has_children = true;
      e.size = types.type_size(type);
      break;
    case KIND_STRUCT: {
      const TypeRecord* record = types.type_record(type);
      if (!record) break;
      e.node_kind = record->is_union ? NODE_UNION : NODE_STRUCT;
      e.has_children = true;
      e.size = types.type_size(type);
      break;
    }
    default:
      host_.out_print("Unrecorded Type\n");
      break;
  }
  WatchEntry* outer = built_under ? built_under->union_root : nullptr;
  e.union_root = e.node_kind == NODE_UNION && !outer ? &e : outer;
}

int SldWatches::free_slot() const {
  for (int i = 0; i < kUsableSlots; ++i)
    if (!session_[static_cast<size_t>(i)]) return i;
  return -1;
}

std::string SldWatches::display_name(const WatchEntry& e) {
  if (e.scope != kScopeStatic) return e.name;
  return e.module + ":" + (e.function.empty() ? "" : e.function + ":") + e.name;
}

WatchEntry* SldWatches::find_session(const std::string& name) const {
  for (const auto& e : session_)
    if (e && e->scope != kScopeAuto && display_name(*e) == name) return e.get();
  return nullptr;
}

WatchEntry* SldWatches::watch_add_global(const std::string& name) {
  const GlobalSymbol* symbol = nullptr;
  for (const GlobalSymbol& g : model_.sld_globals()) {
    if (g.display_name() == name) {
      symbol = &g;
      break;
    }
  }
  if (!symbol) {
    host_.error_box(name, "Symbol Not Found");
    return nullptr;
  }
  if (find_session(name)) return nullptr;
  int slot = free_slot();
  if (slot < 0) {
    host_.error_box("No space for watch", "Symbol");
    return nullptr;
  }
  auto e = std::make_unique<WatchEntry>();
  e->name = symbol->name;
  if (!symbol->is_global) {
    e->module = symbol->module;
    e->function = symbol->function;
  }
  e->scope = symbol->is_global ? kScopeGlobal : kScopeStatic;
  e->address = symbol->address;
  e->top_level = true;
  build(*e, symbol->type, nullptr);
  WatchEntry* row = e.get();
  session_[static_cast<size_t>(slot)] = std::move(e);
  global_rows_.insert(global_rows_.begin(), row);
  watch_read(*row);
  return row;
}

WatchEntry* SldWatches::watch_add_auto(const LocalSymbol& local) {
  int slot = free_slot();
  if (slot < 0) {
    host_.error_box("No space for watch", "Symbol");
    return nullptr;
  }
  auto e = std::make_unique<WatchEntry>();
  e->name = local.name;
  e->scope = kScopeAuto;
  e->address = e->frame_offset = static_cast<uint32_t>(local.offset);
  if (local.static_address) {
    e->static_local = true;
    e->address = *local.static_address;
    e->frame_offset = 0;
  }
  e->top_level = true;
  build(*e, local.type, nullptr);
  WatchEntry* row = e.get();
  session_[static_cast<size_t>(slot)] = std::move(e);
  auto_rows_.insert(auto_rows_.begin(), row);
  return row;
}

std::vector<std::string> SldWatches::watch_symbol_names() const {
  std::vector<std::string> names;
  for (const GlobalSymbol& g : model_.sld_globals()) names.push_back(g.display_name());
  std::sort(names.begin(), names.end());
  return names;
}

bool SldWatches::watch_is_watched(const GlobalSymbol& symbol) const {
  return find_session(symbol.display_name()) != nullptr;
}

// ---- names ----

std::string SldWatches::watch_row_name(const WatchEntry& e) const {
  std::string text;
  if (e.element_index) {
    text = format("[%u]", e.element_index - 1);
  } else if (!e.name.empty()) {
    text = e.top_level ? display_name(e) : e.name;
  } else if (!(is_struct_node(e.node_kind) && !e.top_level)) {
    text = model_.types().type_name(e.type);
  }
  if (e.node_kind == NODE_POINTER) {
    text += "(*)";
  } else if (is_struct_node(e.node_kind) ||
             (e.node_kind == NODE_FUNCTION_POINTER && e.pointee_not_pointer)) {
    text += "{..}";
  }
  return text;
}

// ---- expansion ----

void SldWatches::expand_pointer(WatchEntry& e) {
  int pointee = model_.types().type_pointee(e.type);
  if (pointee == kTypeUnknown) return;
  auto child = std::make_unique<WatchEntry>();
  build(*child, pointee, &e);
  child->editable = false;
  child->top_level = false;
  child->parent = &e;
  child->scope = e.scope;
  child->static_local = e.static_local;
  child->address = e.address + e.member_offset;
  child->frame_offset = e.frame_offset;
  e.pointee = std::move(child);
}

void SldWatches::expand_struct(WatchEntry& e) {
  const TypeRecord* record = model_.types().type_record(e.type);
  if (!record) return;
  if (!is_struct_node(e.node_kind)) {
    host_.out_print("Undetermined STRUCT/UNION\n");
    e.node_kind = NODE_STRUCT;
  }
  e.format = FORMAT_HEX;
  for (const TypeMember& m : record->members) {
    auto child = std::make_unique<WatchEntry>();
    build(*child, m.type, &e);
    child->address = e.address;
    child->frame_offset = e.frame_offset;
    child->scope = e.scope;
    child->static_local = e.static_local;
    child->name = m.name;
    if (m.is_bit_field()) {
      child->bit_width = static_cast<uint16_t>(std::max(0, m.bit_width));
      child->bit_shift = static_cast<uint16_t>(std::max(0, m.bit_offset));
    }
    child->type = m.type;
    // The recorded offset: bit fields and the members after them included.
    child->member_offset = e.member_offset + static_cast<uint32_t>(record->is_union ? 0 : m.offset);
    child->parent = e.parent;
    e.members.push_back(std::move(child));
  }
}

void SldWatches::expand_array(WatchEntry& e) {
  const TypeTable& types = model_.types();
  int element = types.type_pointee(e.type);
  if (element == kTypeUnknown) return;
  int32_t size = types.type_size(e.type);
  if (size < 0) {
    host_.error_box("Array is unsized, can't be expanded", "");
    return;
  }
  int32_t element_size = types.type_size(element);
  if (element_size <= 0) element_size = 1;
  uint32_t count = static_cast<uint32_t>(size / element_size);
  if (count > kMaxElements) {
    host_.error_box("Array is large, only 100 items displayed", "");
    count = kMaxElements;
  }
  for (uint32_t i = 0; i < count; ++i) {
    auto child = std::make_unique<WatchEntry>();
    build(*child, element, &e);
    child->size = element_size;
    child->address = e.address;
    child->frame_offset = e.frame_offset;
    child->scope = e.scope;
    child->static_local = e.static_local;
    child->member_offset = e.member_offset + i * static_cast<uint32_t>(element_size);
    child->element_index = i + 1;
    child->parent = e.parent;
    e.elements.push_back(std::move(child));
  }
}

bool SldWatches::watch_expand(WatchEntry& e) {
  if (e.expanded || !e.has_children) return e.expanded;
  switch (e.node_kind) {
    case NODE_POINTER: expand_pointer(e); break;
    case NODE_ARRAY: expand_array(e); break;
    default:
      if (model_.types().type_kind(e.type) == KIND_STRUCT) expand_struct(e);
      break;
  }
  e.expanded = !e.children().empty();
  if (e.expanded) watch_read(e);
  return e.expanded;
}

void SldWatches::watch_collapse(WatchEntry& e) {
  e.pointee.reset();
  e.elements.clear();
  e.members.clear();
  e.expanded = false;
}

// ---- reading ----

// Rows inside an object count their offset from the object's start: the
// base of the pointer row that leads to it, or the symbol itself (an auto's
// place on the stack).
uint32_t SldWatches::row_address(const WatchEntry& e) {
  if (e.parent) return e.parent->base + e.member_offset;
  if (e.scope == kScopeAuto && !e.static_local) return locals_base() + e.frame_offset + e.member_offset;
  return e.address + e.member_offset;
}

uint32_t SldWatches::locals_base() {
  return model_.sld_frame_base(model_.sld_shown_module()).value_or(target_.target_get_sp());
}

void SldWatches::read_children_of(WatchEntry& e, WatchEntry* parent) {
  for (auto* list : {&e.members, &e.elements}) {
    for (auto& child : *list) {
      child->parent = parent;
      watch_read(*child);
    }
  }
}

void SldWatches::watch_read(WatchEntry& e) {
  uint32_t address = row_address(e);
  switch (e.node_kind) {
    case NODE_VALUE:
      e.value = SldValue{};
      model_.sld_read_value(e.type, e.value, address);
      break;
    case NODE_BIT_FIELD:
      e.value = SldValue{};
      model_.sld_read_value(e.type, e.value, address);
      if (e.bit_shift > 0) e.value.value >>= e.bit_shift;
      e.value.value &= width_mask(e.bit_width);
      break;
    case NODE_POINTER:
    case NODE_FUNCTION_POINTER:
      e.value = SldValue{};
      model_.sld_read_value(e.type, e.value, address);
      e.base = e.value.pointer;
      if (e.expanded && e.pointee) {
        WatchEntry& child = *e.pointee;
        child.parent = &e;
        child.base = e.base;
        if (!child.members.empty() || !child.elements.empty()) {
          make_text(e);
          read_children_of(child, &e);
          child.value.pointer = child.value.value = e.base;
          make_text(child);
          return;
        }
        if (child.size == 1) {
          make_text(e);
          model_.sld_read_bytes8(child.value, row_address(child));
          std::string text = format("0x%X '", child.value.byte(0));
          for (int i = 0; i < 8 && child.value.byte(i); ++i) {
            uint8_t c = child.value.byte(i);
            text += c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : ' ';
          }
          child.value_text = text + "'";
          (child.scope == kScopeAuto ? auto_repaints_ : global_repaints_)++;
          return;
        }
        make_text(e);
        watch_read(child);
        return;
      }
      break;
    case NODE_ARRAY:
      e.value.pointer = address;
      make_text(e);
      if (e.expanded) read_children_of(e, e.parent);
      return;
    case NODE_UNION:
    case NODE_STRUCT:
    case NODE_STRUCT_BITS:
      e.value.pointer = e.value.value = address;
      e.base = address;
      make_text(e);
      if (e.expanded) read_children_of(e, e.parent);
      return;
    default:
      break;
  }
  make_text(e);
}

void SldWatches::make_text(WatchEntry& e) {
  e.value_text = value_text(e);
  (e.scope == kScopeAuto ? auto_repaints_ : global_repaints_)++;
}

std::string SldWatches::value_text(const WatchEntry& e) const {
  if (e.type < 0 || e.type >= kTypeUnknown) return "Unknown";
  const TypeTable& types = model_.types();
  uint32_t v = e.value.value;
  switch (types.type_kind(e.type)) {
    case KIND_SIGNED: {
      int32_t size = e.size == 0 ? 2 : e.size;
      int32_t sv = size == 1 ? static_cast<int8_t>(v) : size == 2 ? static_cast<int16_t>(v)
                                                                  : static_cast<int32_t>(v);
      std::string text;
      switch (e.format) {
        case FORMAT_HEX:
          // The digits of the row's own size, also for a negative value.
          if (size == 1) text = format("0x%2.2X", static_cast<uint32_t>(sv) & 0xFF);
          else if (size == 2) text = format("0x%4.4X", static_cast<uint32_t>(sv) & 0xFFFF);
          else if (size == 4) text = format("0x%X", static_cast<uint32_t>(sv));
          else return "";
          break;
        case FORMAT_BINARY:
          if (size != 1 && size != 2 && size != 4) return "";
          text = to_binary_string(static_cast<uint32_t>(sv), size * 8);
          break;
        case FORMAT_IEEE:
          return ieee_text(v);
        case FORMAT_UNSIGNED:
          // The same bits read as unsigned, at the object's size.
          text = format("%u", size == 1 ? static_cast<uint32_t>(sv) & 0xFF
                              : size == 2 ? static_cast<uint32_t>(sv) & 0xFFFF
                                          : static_cast<uint32_t>(sv));
          break;
        default:
          text = format("%d", sv);
          break;
      }
      if (e.size == 1) text += char_suffix(v);
      return text;
    }
    case KIND_UNSIGNED: {
      if (e.size == 1) v &= 0xFF;
      else if (e.size == 2) v &= 0xFFFF;
      // The signed view reads the bits at the object's own width: a bit
      // field's, else its size's.
      int bits = e.node_kind == NODE_BIT_FIELD && e.bit_width > 0 ? e.bit_width
               : e.size == 1 || e.size == 2                     ? e.size * 8
                                                                : 32;
      std::string text = e.format == FORMAT_SIGNED ? format("%d", sign_extended(v, bits))
                                                   : plain_text(v, e.value.value, e.format);
      if (e.size == 1 && e.format != FORMAT_IEEE) text += char_suffix(v);
      return text;
    }
    case KIND_FLOAT:
      return plain_text(v, v, e.format);
    case KIND_POINTER:
    case KIND_ARRAY:
    case KIND_STRUCT:
      return plain_text(e.value.pointer & 0xFFFF, e.value.value, e.format);
    default:
      return format("?0x%X", v);
  }
}

// ---- refreshing and the tables ----

void SldWatches::watch_refresh() {
  for (auto& e : session_)
    if (e) watch_read(*e);
}

void SldWatches::free_autos() {
  for (auto& e : session_)
    if (e && e->scope == kScopeAuto) e.reset();
  auto_rows_.clear();
}

void SldWatches::watch_refresh_autos() {
  if (!model_.sld_exec_module()) {
    free_autos();
    return;
  }
  // A step into or out of an inner block changes the locals in scope too.
  std::vector<const LocalSymbol*> locals = model_.sld_locals_in_scope();
  if (locals != last_locals_) {
    free_autos();
    last_locals_ = std::move(locals);
    for (const LocalSymbol* local : last_locals_) {
      if (local->type >= kTypeUnknown || local->type < 0) continue;
      if (!watch_add_auto(*local)) break;
    }
  }
  for (WatchEntry* e : auto_rows_) watch_read(*e);
}

void SldWatches::watch_session_end() {
  global_rows_.clear();
  for (auto& e : kept_) e.reset();
  int kept = 0;
  for (auto& e : session_) {
    if (!e) continue;
    if (e->scope != kScopeAuto) {
      watch_collapse(*e);
      kept_[static_cast<size_t>(kept++)] = std::move(e);
    }
    e.reset();
  }
  auto_rows_.clear();
  // The model these pointed into goes with the session.
  last_locals_.clear();
}

void SldWatches::watch_restore() {
  for (auto& k : kept_) {
    if (!k) continue;
    std::string name = display_name(*k);
    for (const GlobalSymbol& g : model_.sld_globals()) {
      if (g.display_name() == name) {
        watch_add_global(name);
        break;
      }
    }
  }
  watch_refresh();
}

void SldWatches::watch_free_all() {
  for (auto& e : session_) e.reset();
  for (auto& e : kept_) e.reset();
  global_rows_.clear();
  auto_rows_.clear();
  last_locals_.clear();
}

// ---- views, editing, removal ----

void SldWatches::watch_set_format(WatchEntry& e, uint8_t fmt) {
  for (WatchEntry* row = &e; row; row = row->pointee.get()) row->format = fmt;
  watch_read(e);
}

bool SldWatches::watch_edit(WatchEntry& e, const std::string& edited) {
  if (!e.editable) return false;
  // Clicking into a cell and away must not rewrite the variable.
  if (edited == e.value_text) return true;
  const TypeTable& types = model_.types();
  int kind = types.type_kind(e.type);
  if (kind == KIND_STRUCT) return false;
  std::string text = without_char_suffix(edited);
  uint32_t value = 0;
  bool ok = !blank_text(text);
  if (ok && kind == KIND_FLOAT && e.format == FORMAT_IEEE) {
    float f = 0;
    ok = std::sscanf(text.c_str(), "%e", &f) == 1 || std::sscanf(text.c_str(), "%f", &f) == 1;
    std::memcpy(&value, &f, sizeof value);
  } else if (ok) {
    // A float shown in another view takes its raw bits in that view's radix.
    int radix = e.format == FORMAT_SIGNED || e.format == FORMAT_UNSIGNED ? 10
              : e.format == FORMAT_HEX                                   ? 16
                                                                         : 2;
    ok = parse_number(text.c_str(), value, radix) == 0;
  }
  if (!ok) {
    host_.error_box(format("Illegal Value '%s'", edited.c_str()), "");
    return false;
  }
  uint32_t address = row_address(e);
  if (e.node_kind == NODE_BIT_FIELD) {
    uint32_t mask = width_mask(e.bit_width);
    value &= mask;
    if (e.bit_shift > 0) {
      value <<= e.bit_shift;
      mask <<= e.bit_shift;
    }
    SldValue current;
    model_.sld_read_value(e.type, current, address);
    value = (current.value & ~mask) | value;
  }
  model_.sld_write_value(e.type, address, value);
  if (e.scope != kScopeAuto && e.node_kind == NODE_POINTER) {
    watch_refresh();
  } else {
    watch_read(e.union_root ? *e.union_root : e);
  }
  return true;
}

void SldWatches::watch_remove(WatchEntry& e) {
  if (!e.top_level || e.scope == kScopeAuto) return;
  global_rows_.erase(std::remove(global_rows_.begin(), global_rows_.end(), &e), global_rows_.end());
  for (auto& slot : session_)
    if (slot.get() == &e) slot.reset();
}

}  // namespace zun::sld
