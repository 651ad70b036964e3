// The debug type table: one slot per type id, filled from the compiler's
// type lines ("typ%d" built-ins, "typ%d-<module>" user types) in a plain pass
// for built-ins, bit fields, pointers and arrays and in structure passes for
// structures and unions. Ids 0-15 are the built-ins, 16-4998 are given out in
// the order names are met, 5000 is "no type".
#include "common/format.h"
#include "common/text.h"
#include "debugger/sld/sld.h"

#include <climits>

namespace zun::sld {

namespace {

constexpr int kLastGivenId = 4999;  // never given out
constexpr int kNameDepth = 32;      // pointer levels a name text follows

// The decimal number at the start of `s` as the C library's text-to-integer
// conversion reads it: blanks, an optional sign, digits; no digits give 0.
int32_t leading_int(std::string_view s) {
  size_t p = 0;
  while (p < s.size() && is_blank(s[p])) ++p;
  bool negative = false;
  if (p < s.size() && (s[p] == '-' || s[p] == '+')) negative = s[p++] == '-';
  int64_t n = 0;
  for (; p < s.size() && s[p] >= '0' && s[p] <= '9'; ++p)
    if (n < INT32_MAX) n = n * 10 + (s[p] - '0');
  if (n > INT32_MAX) n = INT32_MAX;
  return static_cast<int32_t>(negative ? -n : n);
}

// The number behind the first `c` in `s`, 0 when there is none.
int32_t int_behind(std::string_view s, char c) {
  size_t at = s.find(c);
  return at == std::string_view::npos ? 0 : leading_int(s.substr(at + 1));
}

void skip_blanks(std::string_view s, size_t& p) {
  while (p < s.size() && is_blank(s[p])) ++p;
}

std::string take_ident(std::string_view s, size_t& p) {
  size_t from = p;
  while (p < s.size() && is_ident_char(s[p])) ++p;
  return std::string(s.substr(from, p - from));
}

// A type name: blanks, one optional '(', then up to ')', a blank or the end.
std::string read_type_name(std::string_view s, size_t& p) {
  skip_blanks(s, p);
  if (p < s.size() && s[p] == '(') ++p;
  size_t from = p;
  while (p < s.size() && s[p] != ')' && !is_blank(s[p])) ++p;
  return std::string(s.substr(from, p - from));
}

// A run of digits, without sign or blanks; false when there is none.
bool take_digits(std::string_view s, size_t& p, int32_t& value) {
  size_t from = p;
  int64_t n = 0;
  for (; p < s.size() && s[p] >= '0' && s[p] <= '9'; ++p)
    if (n < INT32_MAX) n = n * 10 + (s[p] - '0');
  value = static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX));
  return p > from;
}

bool take_char(std::string_view s, size_t& p, char c) {
  if (p >= s.size() || s[p] != c) return false;
  ++p;
  return true;
}

const char* builtin_text(char letter) {
  switch (letter) {
    case 'V': return "void";
    case 'L': return "long";
    case 'l': return "unsigned long";
    case 'C': return "char";
    case 'c': return "unsigned char";
    case 'S': return "short";
    case 's': return "unsigned short";
    case 'g': return "float";
    case 'G': return "double";
    case 'h': return "long double";
    case 'R': return "const char";
    case 'I': return "int";
    case 'i': return "unsigned int";
    case 'E': return "enum";
    case 'F': return "()";
    case 'P': return "*";
    default: return "";
  }
}

bool same_layout(const TypeRecord& a, const TypeRecord& b) {
  if (a.size != b.size || a.is_union != b.is_union || a.members.size() != b.members.size())
    return false;
  for (size_t i = 0; i < a.members.size(); ++i) {
    const TypeMember& x = a.members[i];
    const TypeMember& y = b.members[i];
    if (x.name != y.name || x.size != y.size || x.bit_offset != y.bit_offset ||
        x.bit_width != y.bit_width)
      return false;
  }
  return true;
}

}  // namespace

TypeTable::TypeTable(SldHost& host) : host_(host), slots_(kTypeSlots) {}

void TypeTable::type_table_reset() {
  for (auto& s : slots_) s.reset();
  names_.clear();
  name_ids_.clear();
  next_id_ = kFirstUserType;
  pointer_levels_ = kFirstUserType;
  error_count_ = 0;
  warned_tags_.clear();
}

const TypeRecord* TypeTable::slot(int id) const {
  return id >= 0 && id < kTypeSlots ? slots_[static_cast<size_t>(id)].get() : nullptr;
}

TypeRecord* TypeTable::mutable_slot(int id) {
  return id >= 0 && id < kTypeSlots ? slots_[static_cast<size_t>(id)].get() : nullptr;
}

int TypeTable::type_id_by_name(std::string_view text) const {
  size_t p = 0;
  std::string name = read_type_name(text, p);
  if (!name.starts_with("typ")) return kTypeUnknown;
  if (name.find('-') == std::string::npos) {
    std::string_view digits = std::string_view(name).substr(3);
    if (digits.empty() || digits.size() > 2 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
      return kTypeUnknown;
    int n = leading_int(digits);
    return n < kFirstUserType ? n : kTypeUnknown;
  }
  auto it = name_ids_.find(name);
  return it == name_ids_.end() ? kTypeUnknown : it->second;
}

void TypeTable::add_name(const std::string& name, int id) {
  names_.emplace_back(name, id);
  name_ids_.emplace(name, id);  // the first entry of a name wins
}

int TypeTable::type_new_id(std::string_view text) {
  size_t p = 0;
  std::string name = read_type_name(text, p);
  if (name.empty() || next_id_ >= kLastGivenId) return kTypeUnknown;
  add_name(name, next_id_);
  return next_id_++;
}

int TypeTable::type_resolve(int id) const {
  // Aliases only lead to complete structures, which have none of their own;
  // the bound guards against a table made inconsistent by odd input.
  for (int hops = 0; hops < 8; ++hops) {
    const TypeRecord* r = slot(id);
    if (!r || r->alias <= 0) break;
    id = r->alias;
  }
  return id >= 0 && id < kTypeSlots ? id : kTypeUnknown;
}

int32_t TypeTable::type_size(int id) const {
  const TypeRecord* r = slot(type_resolve(id));
  return r ? r->size : 0;
}

int TypeTable::type_kind(int id) const {
  const TypeRecord* r = slot(type_resolve(id));
  if (!r) return KIND_EMPTY;
  switch (r->letter) {
    case 'C': case 'S': case 'I': case 'L': case 'E':
      return KIND_SIGNED;
    case 'c': case 's': case 'i': case 'l': case 'B': case 'e':
      return KIND_UNSIGNED;
    case 'g': case 'G': case 'h':
      return KIND_FLOAT;
    case 'Z':
      return KIND_STRUCT;
    case 'A':
      return KIND_ARRAY;
    default:
      return KIND_POINTER;
  }
}

char TypeTable::type_letter(int id) const {
  const TypeRecord* r = slot(type_resolve(id));
  return r ? r->letter : 0;
}

int32_t TypeTable::type_bit_width(int id) const {
  const TypeRecord* r = slot(type_resolve(id));
  return r && r->letter == 'B' ? r->bit_width : 0;
}

int32_t TypeTable::type_bit_offset(int id) const {
  const TypeRecord* r = slot(type_resolve(id));
  return r && r->letter == 'B' ? r->bit_offset : 0;
}

const TypeRecord* TypeTable::type_record(int id) const { return slot(type_resolve(id)); }

int TypeTable::type_pointee(int id) const {
  int r = type_resolve(id);
  if (r == kTypeUnknown) return kTypeUnknown;
  if (r < kFirstUserType) {
    // A pointer to char leads to char; void, functions and void pointers lead
    // to nothing a watch could expand. Other built-ins are not pointers.
    if (r == 10) return 3;
    if (r == 0 || r == 14 || r == 15) return kTypeUnknown;
    return r;
  }
  const TypeRecord* rec = slot(r);
  return rec && rec->chain >= 0 ? type_resolve(rec->chain) : kTypeUnknown;
}

// The chain of a pointer or array as text: built-in names, one '*' per
// pointer level; the letter of the outermost record decides the " *".
void TypeTable::chain_text(const TypeRecord& record, char letter, int depth,
                           std::string& out) const {
  if (record.chain < 0) {
    out += " INVAL TYPEDID";
    return;
  }
  const TypeRecord* node = slot(record.chain);
  if (record.chain < kFirstUserType) {
    out += node ? builtin_text(node->letter) : ".?.";
    if (letter == 'P') out += " *";
  } else if (node && node->letter == 'P') {
    if (depth >= kNameDepth) {
      out += "...";
      return;
    }
    chain_text(*node, letter, depth + 1, out);
    out += "*";
  }
}

std::string TypeTable::type_name(int id) const {
  int r = type_resolve(id);
  if (r == kTypeUnknown) return "<UNKNOWN>";
  const TypeRecord* rec = slot(r);
  if (!rec) return ".?.";
  if (rec->letter == 'Z') return "'" + rec->tag + "'";
  if (r < kFirstUserType) return builtin_text(rec->letter);
  std::string out;
  chain_text(*rec, rec->letter, 0, out);
  return out;
}

// ---- parsing ----

int TypeTable::type_parse(std::string_view text, bool structure_pass) {
  size_t p = 0;
  std::string module;
  if (p < text.size() && is_blank(text[p])) {
    skip_blanks(text, p);
  } else {
    module = take_ident(text, p);
    if (p < text.size()) ++p;  // the ':'
    skip_blanks(text, p);
  }
  std::string name = read_type_name(text, p);
  while (p < text.size() && !is_blank(text[p])) ++p;
  skip_blanks(text, p);
  char letter = p < text.size() ? text[p++] : 0;
  skip_blanks(text, p);
  std::string_view body = text.substr(p);

  if (structure_pass) {
    if (letter != 'Z') return 0;
    return parse_structure(module, body, name, type_id_by_name(name));
  }
  if (letter == 'Z') return 0;
  return parse_plain(module, name, letter, body, text);
}

int TypeTable::parse_plain(const std::string& module, const std::string& name, char letter,
                           std::string_view body, std::string_view text) {
  int id = type_id_by_name(name);
  if (id == kTypeUnknown) id = type_new_id(name);
  if (id == kTypeUnknown) return 1;  // no name, or no id left: nothing to define
  switch (letter) {
    case 'a':
      define_pointer(id, body.empty() ? body : body.substr(1), module);
      return 0;
    case '*':
      define_pointer(id, body.empty() ? body : body.substr(1), module);
      if (TypeRecord* r = mutable_slot(id)) r->letter = 'F';
      return 0;
    case 'A':
      define_array(id, body, module);
      return 0;
    case 'B': {
      int32_t size = body.empty() ? 0 : leading_int(body.substr(1));
      if (!slot(id)) {
        auto r = std::make_unique<TypeRecord>();
        r->module = module;
        r->letter = 'B';
        slots_[static_cast<size_t>(id)] = std::move(r);
      }
      TypeRecord* r = mutable_slot(id);
      r->size = size;
      r->bit_width = int_behind(body, ',');
      r->bit_offset = int_behind(body, ':');
      return 0;
    }
    default:
      break;
  }
  if (letter == 'e' || id < kFirstUserType) {
    if (!slot(id)) {
      auto r = std::make_unique<TypeRecord>();
      r->module = module;
      r->letter = letter;
      r->size = body.empty() ? 0 : leading_int(body.substr(1));
      slots_[static_cast<size_t>(id)] = std::move(r);
    }
    return 0;
  }
  host_.out_print(format("Warning: Unrecognized type '%s'\n", std::string(text).c_str()));
  return 1;
}

// A chain: '*' makes a pointer-level record for the rest; otherwise the text
// names a type. The type id it leads to, or kTypeUnknown when it cannot be
// resolved yet.
int TypeTable::parse_chain(std::string_view text) {
  if (!text.empty() && text[0] == '*') {
    int id = type_new_id(format("(typ%d-PTRTYPE)", pointer_levels_++));
    if (id == kTypeUnknown) return kTypeUnknown;
    auto r = std::make_unique<TypeRecord>();
    r->letter = 'P';
    r->size = 2;
    TypeRecord* level = r.get();
    slots_[static_cast<size_t>(id)] = std::move(r);
    level->chain = parse_chain(text.substr(1));
    if (level->chain == kTypeUnknown) {
      level->chain = -1;
      return kTypeUnknown;
    }
    return id;
  }
  return type_id_by_name(text);
}

void TypeTable::define_pointer(int id, std::string_view chain_text, const std::string& module) {
  if (slot(id)) return;
  int to = parse_chain(chain_text);
  if (to == kTypeUnknown) return;
  auto r = std::make_unique<TypeRecord>();
  r->module = module;
  r->letter = 'P';
  r->size = 2;
  r->chain = to;
  slots_[static_cast<size_t>(id)] = std::move(r);
}

void TypeTable::define_array(int id, std::string_view body, const std::string& module) {
  if (slot(id) || body.empty() || body[0] != '(') return;
  int32_t size = leading_int(body.substr(1));
  size_t p = body.find(')');
  p = p == std::string_view::npos ? body.size() : p + 1;
  skip_blanks(body, p);
  int to = parse_chain(body.substr(p));
  if (to == kTypeUnknown) return;
  auto r = std::make_unique<TypeRecord>();
  r->module = module;
  r->letter = 'A';
  r->size = size;
  r->chain = to;
  slots_[static_cast<size_t>(id)] = std::move(r);
}

// "(size)S tag {member:(offset):(type);...}" or "U" for a union; a bit-field
// member is "name:(size,bit offset:width):(type);".
int TypeTable::parse_structure(const std::string& module, std::string_view body,
                               const std::string& name, int id) {
  if (body.empty() || body[0] != '(') return 1;
  auto record = std::make_unique<TypeRecord>();
  record->module = module;
  record->letter = 'Z';
  record->size = leading_int(body.substr(1));
  size_t p = body.find(')');
  p = p == std::string_view::npos ? body.size() : p + 1;
  skip_blanks(body, p);
  if (p < body.size()) record->is_union = body[p++] == 'U';
  skip_blanks(body, p);

  // A structure whose type name was never met may be one that another module
  // (through a shared header) already described under the same tag.
  int by_tag = -1;
  if (p < body.size() && body[p] != '{') {
    record->tag = take_ident(body, p);
    skip_blanks(body, p);
    if (id == kTypeUnknown && !record->tag.empty()) {
      for (int i = 0; i < kTypeSlots && slot(i); ++i) {
        if (slot(i)->letter == 'Z' && slot(i)->tag == record->tag) {
          by_tag = i;
          break;
        }
      }
    }
  }
  if (id == kTypeUnknown && by_tag < 0) id = type_new_id(name);
  if (!take_char(body, p, '{')) {
    host_.out_print("Invalid struct type entry\n");
    return 1;
  }
  if (id == kTypeUnknown && by_tag < 0) {
    ++error_count_;
    return 1;
  }

  int result = 0;
  for (;;) {
    skip_blanks(body, p);
    if (p >= body.size() || body[p] == '}') break;
    TypeMember m;
    m.name = take_ident(body, p);
    int32_t bit_offset = -1, bit_width = -1;
    bool ok = take_char(body, p, ':') && take_char(body, p, '(') && take_digits(body, p, m.size);
    if (ok && take_char(body, p, ','))
      ok = take_digits(body, p, bit_offset) && take_char(body, p, ':') &&
           take_digits(body, p, bit_width);
    ok = ok && take_char(body, p, ')') && take_char(body, p, ':');
    std::string type_name = ok ? read_type_name(body, p) : "";
    if (type_name.empty()) {
      result = 1;
      break;
    }
    m.bit_offset = bit_offset;
    m.bit_width = bit_width;
    m.type = type_id_by_name(type_name);
    if (m.type == kTypeUnknown) m.type = type_new_id(type_name);
    record->members.push_back(std::move(m));
    size_t semicolon = body.find(';', p);
    if (semicolon == std::string_view::npos) {
      result = 1;
      break;
    }
    p = semicolon + 1;
  }
  place_struct(by_tag >= 0 ? by_tag : id, std::move(record), by_tag, name);
  return result;
}

// Puts a parsed structure into its slot. A line found only by its tag
// (`by_tag`) names the slot's structure under a second module's type name when
// both describe the same layout, so the symbols of both modules know their
// type; an incomplete description never replaces a complete one.
void TypeTable::place_struct(int id, std::unique_ptr<TypeRecord> record, int by_tag,
                             const std::string& name) {
  std::unique_ptr<TypeRecord>& s = slots_[static_cast<size_t>(id)];
  bool keeps_complete = s && s->letter == 'Z' && s->size >= 0 && record->size < 0 &&
                        s->tag == record->tag;
  if (by_tag >= 0) {
    if (keeps_complete || same_layout(*s, *record)) {
      add_name(name, id);
      return;
    }
    if (s->size < 0) {
      add_name(name, id);
    } else if (warned_tags_.insert(record->tag).second) {
      host_.out_print(format("Warning: Struct '%s' of module '%s' differs from the one of module "
                             "'%s'\n",
                             record->tag.c_str(), record->module.c_str(), s->module.c_str()));
    }
  } else if (keeps_complete) {
    return;
  }
  s = std::move(record);
}

// Byte offsets of bit fields: the type line gives only their storage size, so
// a field that opens a storage unit lies behind the member before it, and a
// field that continues the unit (bit offset above 0) shares its offset.
void TypeTable::place_bit_fields(TypeRecord& record) const {
  const TypeMember* prev = nullptr;
  for (TypeMember& m : record.members) {
    if (!m.is_bit_field()) {
      m.offset = m.size;
    } else if (record.is_union) {
      m.offset = 0;
    } else if (prev && prev->is_bit_field() && m.bit_offset > 0) {
      m.offset = prev->offset;
    } else if (!prev) {
      m.offset = 0;
    } else {
      int32_t prev_size = prev->is_bit_field() ? (prev->bit_width > 0 ? prev->size : 0)
                                               : std::max<int32_t>(type_size(prev->type), 0);
      m.offset = prev->offset + prev_size;
    }
    prev = &m;
  }
}

// After the last type pass: every incomplete structure stands for the first
// complete one of its tag, and bit fields get their byte offsets.
void TypeTable::type_link_incomplete() {
  for (int id = kFirstUserType; id < kTypeSlots; ++id) {
    TypeRecord* r = mutable_slot(id);
    if (!r || r->size >= 0 || r->tag.empty()) continue;
    for (int other = kFirstUserType; other < kTypeSlots; ++other) {
      const TypeRecord* o = slot(other);
      if (o && o->size > 0 && o->tag == r->tag) {
        r->alias = other;
        break;
      }
    }
  }
  for (int id = kFirstUserType; id < kTypeSlots; ++id)
    if (TypeRecord* r = mutable_slot(id); r && r->letter == 'Z') place_bit_fields(*r);
}

}  // namespace zun::sld
