// The 6809 instruction encoder: mnemonic lookup, the operand parser that picks
// the addressing mode and indexed post-byte, and the emitters of each kind of
// instruction. Opcodes come from the shared datasheet table; which spellings
// this assembler accepts, and which modes each mnemonic may use, are its own.
#include "assembler/internal.h"
#include "common/format.h"
#include "common/m6809_opcodes.h"

namespace zun::hasm {

namespace {

using K = OpKind;

// Mode classes: bits of the modes a mnemonic accepts.
constexpr uint8_t Imm = 1, Dir = 2, Idx = 4, Ext = 8, Inh = 16;
constexpr uint8_t All = Imm | Dir | Idx | Ext, Mem = Dir | Idx | Ext;

// The mnemonics this assembler accepts; datasheet_name is set where the
// spelling is one of the datasheet's second names.
// clang-format off
constexpr Mnemonic MnemonicRows[] = {
    {"abx", nullptr, Inh, K::Inherent, false},   {"asla", nullptr, Inh, K::Inherent, false},
    {"aslb", nullptr, Inh, K::Inherent, false},  {"asra", nullptr, Inh, K::Inherent, false},
    {"asrb", nullptr, Inh, K::Inherent, false},  {"clra", nullptr, Inh, K::Inherent, false},
    {"clrb", nullptr, Inh, K::Inherent, false},  {"coma", nullptr, Inh, K::Inherent, false},
    {"comb", nullptr, Inh, K::Inherent, false},  {"daa", nullptr, Inh, K::Inherent, false},
    {"deca", nullptr, Inh, K::Inherent, false},  {"decb", nullptr, Inh, K::Inherent, false},
    {"inca", nullptr, Inh, K::Inherent, false},  {"incb", nullptr, Inh, K::Inherent, false},
    {"lsla", "asla", Inh, K::Inherent, false},   {"lslb", "aslb", Inh, K::Inherent, false},
    {"lsra", nullptr, Inh, K::Inherent, false},  {"lsrb", nullptr, Inh, K::Inherent, false},
    {"mul", nullptr, Inh, K::Inherent, false},   {"nega", nullptr, Inh, K::Inherent, false},
    {"negb", nullptr, Inh, K::Inherent, false},  {"nop", nullptr, Inh, K::Inherent, false},
    {"rola", nullptr, Inh, K::Inherent, false},  {"rolb", nullptr, Inh, K::Inherent, false},
    {"rora", nullptr, Inh, K::Inherent, false},  {"rorb", nullptr, Inh, K::Inherent, false},
    {"rti", nullptr, Inh, K::Inherent, false},   {"rts", nullptr, Inh, K::Inherent, false},
    {"sex", nullptr, Inh, K::Inherent, false},   {"swi", nullptr, Inh, K::Inherent, false},
    {"sync", nullptr, Inh, K::Inherent, false},  {"tsta", nullptr, Inh, K::Inherent, false},
    {"tstb", nullptr, Inh, K::Inherent, false},
    {"swi2", nullptr, Inh, K::PageInherent, false}, {"swi3", nullptr, Inh, K::PageInherent, false},

    {"adca", nullptr, All, K::General, false},   {"adcb", nullptr, All, K::General, false},
    {"adda", nullptr, All, K::General, false},   {"addb", nullptr, All, K::General, false},
    {"anda", nullptr, All, K::General, false},   {"andb", nullptr, All, K::General, false},
    {"bita", nullptr, All, K::General, false},   {"bitb", nullptr, All, K::General, false},
    {"cmpa", nullptr, All, K::General, false},   {"cmpb", nullptr, All, K::General, false},
    {"eora", nullptr, All, K::General, false},   {"eorb", nullptr, All, K::General, false},
    {"lda", nullptr, All, K::General, false},    {"ldb", nullptr, All, K::General, false},
    {"ora", nullptr, All, K::General, false},    {"orb", nullptr, All, K::General, false},
    {"sbca", nullptr, All, K::General, false},   {"sbcb", nullptr, All, K::General, false},
    {"suba", nullptr, All, K::General, false},   {"subb", nullptr, All, K::General, false},
    {"addd", nullptr, All, K::General, true},    {"cmpx", nullptr, All, K::General, true},
    {"ldd", nullptr, All, K::General, true},     {"ldu", nullptr, All, K::General, true},
    {"ldx", nullptr, All, K::General, true},     {"subd", nullptr, All, K::General, true},
    {"cmpd", nullptr, All, K::PageGeneral, true}, {"cmps", nullptr, All, K::PageGeneral, true},
    {"cmpu", nullptr, All, K::PageGeneral, true}, {"cmpy", nullptr, All, K::PageGeneral, true},
    {"lds", nullptr, All, K::PageGeneral, true},  {"ldy", nullptr, All, K::PageGeneral, true},
    {"andcc", nullptr, Imm, K::General, false},  {"cwai", nullptr, Imm, K::General, false},
    {"orcc", nullptr, Imm, K::General, false},

    {"asl", nullptr, Mem, K::General, false},    {"asr", nullptr, Mem, K::General, false},
    {"clr", nullptr, Mem, K::General, false},    {"com", nullptr, Mem, K::General, false},
    {"dec", nullptr, Mem, K::General, false},    {"inc", nullptr, Mem, K::General, false},
    {"jmp", nullptr, Mem, K::General, false},    {"jsr", nullptr, Mem, K::General, false},
    {"lsl", "asl", Mem, K::General, false},      {"lsr", nullptr, Mem, K::General, false},
    {"neg", nullptr, Mem, K::General, false},    {"rol", nullptr, Mem, K::General, false},
    {"ror", nullptr, Mem, K::General, false},    {"sta", nullptr, Mem, K::General, false},
    {"stb", nullptr, Mem, K::General, false},    {"tst", nullptr, Mem, K::General, false},
    {"std", nullptr, Mem, K::General, false},    {"stu", nullptr, Mem, K::General, false},
    {"stx", nullptr, Mem, K::General, false},
    {"sts", nullptr, Mem, K::PageGeneral, false}, {"sty", nullptr, Mem, K::PageGeneral, false},
    // LEAx exist only in the indexed form (0x30-0x33).
    {"leas", nullptr, Idx, K::General, false},   {"leau", nullptr, Idx, K::General, false},
    {"leax", nullptr, Idx, K::General, false},   {"leay", nullptr, Idx, K::General, false},

    {"bcc", nullptr, Ext, K::ShortBranch, false}, {"bcs", nullptr, Ext, K::ShortBranch, false},
    {"beq", nullptr, Ext, K::ShortBranch, false}, {"bge", nullptr, Ext, K::ShortBranch, false},
    {"bgt", nullptr, Ext, K::ShortBranch, false}, {"bhi", nullptr, Ext, K::ShortBranch, false},
    {"bhs", "bcc", Ext, K::ShortBranch, false},   {"ble", nullptr, Ext, K::ShortBranch, false},
    {"blo", "bcs", Ext, K::ShortBranch, false},   {"bls", nullptr, Ext, K::ShortBranch, false},
    {"blt", nullptr, Ext, K::ShortBranch, false}, {"bmi", nullptr, Ext, K::ShortBranch, false},
    {"bne", nullptr, Ext, K::ShortBranch, false}, {"bpl", nullptr, Ext, K::ShortBranch, false},
    {"bra", nullptr, Ext, K::ShortBranch, false}, {"brn", nullptr, Ext, K::ShortBranch, false},
    {"bsr", nullptr, Ext, K::ShortBranch, false}, {"bvc", nullptr, Ext, K::ShortBranch, false},
    {"bvs", nullptr, Ext, K::ShortBranch, false},
    {"lbcc", nullptr, Ext, K::LongBranch, false}, {"lbcs", nullptr, Ext, K::LongBranch, false},
    {"lbeq", nullptr, Ext, K::LongBranch, false}, {"lbge", nullptr, Ext, K::LongBranch, false},
    {"lbgt", nullptr, Ext, K::LongBranch, false}, {"lbhi", nullptr, Ext, K::LongBranch, false},
    {"lbhs", "lbcc", Ext, K::LongBranch, false},  {"lble", nullptr, Ext, K::LongBranch, false},
    {"lblo", "lbcs", Ext, K::LongBranch, false},  {"lbls", nullptr, Ext, K::LongBranch, false},
    {"lblt", nullptr, Ext, K::LongBranch, false}, {"lbmi", nullptr, Ext, K::LongBranch, false},
    {"lbne", nullptr, Ext, K::LongBranch, false}, {"lbpl", nullptr, Ext, K::LongBranch, false},
    {"lbra", nullptr, Ext, K::LongBranch, false}, {"lbrn", nullptr, Ext, K::LongBranch, false},
    {"lbsr", nullptr, Ext, K::LongBranch, false}, {"lbvc", nullptr, Ext, K::LongBranch, false},
    {"lbvs", nullptr, Ext, K::LongBranch, false},

    {"exg", nullptr, 0, K::Transfer, false},     {"tfr", nullptr, 0, K::Transfer, false},
    {"pshs", nullptr, 0, K::PushPull, false},    {"pshu", nullptr, 0, K::PushPull, false},
    {"puls", nullptr, 0, K::PushPull, false},    {"pulu", nullptr, 0, K::PushPull, false},
};
// clang-format on

int opcode_of(const Mnemonic& row, zun::Mode mode) {
  const char* name = row.datasheet_name ? row.datasheet_name : row.name;
  const OpcodeInfo* info = zun::find_mnemonic(name, mode);
  if (!info) throw FatalStop{format("(F1016) no opcode for '%s'", row.name)};
  return (info->page << 8) | info->opcode;
}

void emit_opcode(Assembly& as, int opcode) {
  if (opcode > 0xFF) emit_byte(as, static_cast<uint8_t>(opcode >> 8));
  emit_byte(as, static_cast<uint8_t>(opcode));
}

int opcode_length(int opcode) { return opcode > 0xFF ? 2 : 1; }

bool ends_operand(char c) { return static_cast<signed char>(c) <= ' '; }

int signed_value(uint32_t v) { return static_cast<int32_t>(v); }

// Index register R of the indexed forms: its post-byte bits, or -1.
int index_register(Assembly& as, bool allow_pcr) {
  int length = 0;
  int reg = register_at(as.line.pos, &length);
  int bits = reg == RegX ? 0x00 : reg == RegY ? 0x20 : reg == RegU ? 0x40 : reg == RegS ? 0x60
           : (reg == RegPCR && allow_pcr) ? 0x04 : -1;
  if (bits >= 0) as.line.pos += length;
  return bits;
}

// ',R' ',R+' ',R++' ',-R' ',--R' behind the comma.
bool parse_auto(Assembly& as, Operand& op, bool indirect) {
  const char*& p = as.line.pos;
  int decrement = 0;
  while (*p == '-' && decrement < 2) { ++p; ++decrement; }
  int r = index_register(as, false);
  if (r < 0) return false;
  int increment = 0;
  while (*p == '+' && increment < 2) { ++p; ++increment; }
  if (decrement && increment) return false;
  if (indirect && (decrement == 1 || increment == 1)) return false;
  int form = decrement == 2 ? 0x83 : decrement == 1 ? 0x82 : increment == 2 ? 0x81
           : increment == 1 ? 0x80 : 0x84;
  op.postbyte = static_cast<uint8_t>(form | r);
  return true;
}

// 'expression,R' / 'expression,PCR': the offset size follows the value, or is
// 16 bits when the expression names any symbol, so both passes agree on the
// length.
void size_offset(Assembly& as, Operand& op, int r, bool indirect, int opcode) {
  int v = signed_value(op.expr.value);
  if (r == 0x04) {
    op.pcr = true;
    int short_length = opcode_length(opcode) + 2;
    int d = v - static_cast<int>(as.line.address) - short_length;
    // Only in abs is a number's distance known here; anywhere else it waits
    // for the segment's place, and 16 bits reach wherever that is.
    bool fits8 = !op.expr.uses_symbol && !op.expr.relocatable && as.current == as.abs_segment &&
                 d >= -128 && d <= 127;
    op.postbyte = fits8 ? 0x8C : 0x8D;
    op.offset_bytes = fits8 ? 1 : 2;
    return;
  }
  bool constant = !op.expr.uses_symbol && !op.expr.relocatable;
  if (constant && !indirect && v >= -16 && v <= 15) {
    op.postbyte = static_cast<uint8_t>(r | (v & 0x1F));
    op.offset_bytes = 0;
  } else if (constant && v >= -128 && v <= 127) {
    op.postbyte = static_cast<uint8_t>(0x88 | r);
    op.offset_bytes = 1;
  } else {
    op.postbyte = static_cast<uint8_t>(0x89 | r);
    op.offset_bytes = 2;
  }
}

// The indexed forms inside or without brackets; false on a syntax fault.
bool parse_indexed_or_plain(Assembly& as, Operand& op, bool indirect, int opcode) {
  const char*& p = as.line.pos;
  // "0,R" is the zero-offset form ",R"; PC-relative forms always carry their
  // target, so "0,PCR" keeps it.
  if (p[0] == '0' && p[1] == ',' && !((p[2] == 'p' || p[2] == 'P') && (p[3] == 'c' || p[3] == 'C'))) ++p;
  if (*p == ',') {
    ++p;
    op.mode = AddrMode::Indexed;
    return parse_auto(as, op, indirect);
  }
  int length = 0;
  int acc = register_at(p, &length);
  if ((acc == RegA || acc == RegB || acc == RegD) && p[length] == ',') {
    p += length + 1;
    int r = index_register(as, false);
    if (r < 0) return false;
    op.mode = AddrMode::Indexed;
    op.postbyte = static_cast<uint8_t>((acc == RegA ? 0x86 : acc == RegB ? 0x85 : 0x8B) | r);
    return true;
  }
  if (!eval_operand(as, op.expr)) return false;
  if (*p == ',') {
    ++p;
    int r = index_register(as, true);
    if (r < 0) return false;
    op.mode = AddrMode::Indexed;
    size_offset(as, op, r, indirect, opcode);
    return true;
  }
  if (indirect) {
    op.mode = AddrMode::Indexed;
    op.postbyte = 0x9F;
    op.offset_bytes = 2;
    return true;
  }
  op.mode = AddrMode::Extended;
  return true;
}

// Operand forms: '#e' '<e' '>e' 'e' and the indexed forms, optionally in
// brackets. opcode is the indexed opcode (for the PCR displacement).
bool parse_operand(Assembly& as, Operand& op, int opcode) {
  const char*& p = as.line.pos;
  op = Operand{};
  bool ok = true;
  if (*p == '#' || *p == '<' || *p == '>') {
    op.mode = *p == '#' ? AddrMode::Immediate : *p == '<' ? AddrMode::Direct : AddrMode::Extended;
    ++p;
    ok = eval_operand(as, op.expr);
  } else if (*p == '[') {
    ++p;
    ok = parse_indexed_or_plain(as, op, true, opcode) && *p == ']';
    if (ok) {
      ++p;
      op.postbyte |= 0x10;
    }
  } else {
    ok = parse_indexed_or_plain(as, op, false, opcode);
  }
  return ok && ends_operand(*p);
}

void syntax_error(Assembly& as, const char* text) {
  if (!as.line.error) error(as, text);
}

}  // namespace

void build_mnemonics(Assembly& as) {
  for (const Mnemonic& row : MnemonicRows) {
    Mnemonic m = row;
    switch (m.kind) {
      case K::Inherent:
      case K::PageInherent: m.inherent = opcode_of(m, zun::Mode::Inherent); break;
      case K::ShortBranch: m.inherent = opcode_of(m, zun::Mode::Relative8); break;
      case K::LongBranch: m.inherent = opcode_of(m, zun::Mode::Relative16); break;
      case K::Transfer: m.inherent = opcode_of(m, zun::Mode::RegisterPair); break;
      case K::PushPull: m.inherent = opcode_of(m, zun::Mode::StackMask); break;
      case K::General:
      case K::PageGeneral:
        if (m.mode_class & Imm)
          m.immediate = opcode_of(m, m.imm16 ? zun::Mode::Immediate16 : zun::Mode::Immediate8);
        if (m.mode_class & Dir) m.direct = opcode_of(m, zun::Mode::Direct);
        if (m.mode_class & Idx) m.indexed = opcode_of(m, zun::Mode::Indexed);
        if (m.mode_class & Ext) m.extended = opcode_of(m, zun::Mode::Extended);
        break;
    }
    as.mnemonic_rows.push_back(m);
  }
  for (const Mnemonic& m : as.mnemonic_rows) as.mnemonics.emplace(m.name, &m);
}

const Mnemonic* find_mnemonic(const Assembly& as, std::string_view word) {
  if (word.empty() || word.size() > 5) return nullptr;
  char lower[8];
  for (size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  auto it = as.mnemonics.find(std::string_view(lower, word.size()));
  return it == as.mnemonics.end() ? nullptr : it->second;
}

void emit_field(Assembly& as, const ExprResult& e, int size) {
  if (size == 1) emit_byte(as, static_cast<uint8_t>(e.value));
  else if (size == 2) emit_word(as, static_cast<uint16_t>(e.value));
  else emit_long(as, e.value);
  relocation(as, e, size, RelocType::O);
}

namespace {

// A number or constant as a branch or PC-relative target is a fixed address.
// From a place in a segment the linker puts somewhere, its distance is known
// only then; in abs, where the place is a number too, it is known now.
bool fixed_target_from_relocatable(Assembly& as, const ExprResult& e) {
  return !e.relocatable && as.current != as.abs_segment;
}

// The linker finishes the distance as for a label of abs whose value is the
// target: a 'P' entry against segment abs, where the constants live.
void fixed_target_relocation(Assembly& as, const ExprResult& e, int size) {
  ExprResult fixed;
  fixed.relocatable = true;
  fixed.reloc_segment = abs_segment(as);
  fixed.reloc_value = e.value;
  relocation(as, fixed, size, RelocType::P);
}

// A byte measured from the end of an instruction of `length` bytes.
void relative_byte(Assembly& as, const ExprResult& e, int length) {
  if (as.pass == 1) {
    if (fixed_target_from_relocatable(as, e)) abs_segment(as);
    emit_byte(as, 0);
    return;
  }
  uint32_t target = e.value + e.reloc_value;
  if (!e.undefined && fixed_target_from_relocatable(as, e)) {
    // The field is the instruction's last byte: its end lies one behind it.
    emit_byte(as, 0xFF);
    fixed_target_relocation(as, e, 1);
    return;
  }
  if (e.undefined || (e.relocatable && !e.reloc_segment)) {
    error(as, "External or undefined operand");
    emit_byte(as, 0);
    return;
  }
  if (e.relocatable && e.reloc_segment != as.current) {
    // The linker has no 8-bit PC-relative field: a byte into another segment
    // could only ever be wrong.
    error(as, "Relative operand in another segment");
    emit_byte(as, 0);
    return;
  }
  int d = signed_value(target - as.line.address - static_cast<uint32_t>(length));
  if (d < -128 || d > 127) error(as, "8-bit displacement truncated");
  emit_byte(as, static_cast<uint8_t>(d));
}

// A word measured from the end of an instruction of `length` bytes; into
// another segment or to an import the linker finishes it ('P' entry).
void relative_word(Assembly& as, const ExprResult& e, int length) {
  if (as.pass == 1) {
    if (fixed_target_from_relocatable(as, e)) abs_segment(as);
    emit_word(as, 0);
    return;
  }
  if (fixed_target_from_relocatable(as, e)) {
    emit_word(as, 0xFFFE);
    fixed_target_relocation(as, e, 2);
    return;
  }
  bool local = !e.relocatable ||
               (e.reloc_segment == as.current && e.reloc_segment != nullptr);
  if (local) {
    uint32_t target = e.value + e.reloc_value;
    int d = signed_value(target - as.line.address - static_cast<uint32_t>(length));
    // The word wraps around the 64K address space, backwards as forwards.
    if (d < -65535 || d > 65535) error(as, "Displacement (16-bits) truncated");
    emit_word(as, static_cast<uint16_t>(d));
    return;
  }
  // The linker adds the target minus the field's address; the field sits two
  // bytes before the end of the instruction.
  emit_word(as, static_cast<uint16_t>(e.value - 2));
  relocation(as, e, 2, RelocType::P);
}

void encode_general(Assembly& as, const Mnemonic& m) {
  Operand op;
  if (!parse_operand(as, op, m.indexed)) {
    syntax_error(as, "Syntax Error");
    return;
  }
  int allowed = op.mode == AddrMode::Immediate ? Imm : op.mode == AddrMode::Direct ? Dir
              : op.mode == AddrMode::Indexed ? Idx : Ext;
  if (!(m.mode_class & allowed)) {
    error(as, "Illegal Addressing Mode");
    return;
  }
  switch (op.mode) {
    case AddrMode::Immediate:
      emit_opcode(as, m.immediate);
      emit_field(as, op.expr, m.imm16 ? 2 : 1);
      break;
    case AddrMode::Direct:
      if (as.pass == 2 && op.expr.relocatable) {
        error(as, "Relocatable operand in direct mode");
        return;
      }
      emit_opcode(as, m.direct);
      if (as.pass == 2 && ((op.expr.value >> 8) & 0xFF) != as.direct_page)
        warning(as, "8-bit direct-page offset truncated");
      emit_byte(as, static_cast<uint8_t>(op.expr.value));
      break;
    case AddrMode::Extended:
      emit_opcode(as, m.extended);
      emit_field(as, op.expr, 2);
      break;
    case AddrMode::Indexed: {
      emit_opcode(as, m.indexed);
      emit_byte(as, op.postbyte);
      int length = opcode_length(m.indexed) + 1 + op.offset_bytes;
      if (op.pcr && op.offset_bytes == 1) relative_byte(as, op.expr, length);
      else if (op.pcr) relative_word(as, op.expr, length);
      else if (op.offset_bytes > 0) emit_field(as, op.expr, op.offset_bytes);
      break;
    }
    case AddrMode::None:
      break;
  }
}

// A branch target: a plain expression, or one behind '>'.
bool branch_target(Assembly& as, ExprResult& e) {
  Operand op;
  if (!parse_operand(as, op, 0)) {
    syntax_error(as, "Bad operand syntax");
    return false;
  }
  if (op.mode != AddrMode::Extended || op.postbyte != 0) {
    error(as, "Illegal addressing mode");
    return false;
  }
  e = op.expr;
  return true;
}

// Register code of TFR/EXG: D 0, X 1, Y 2, U 3, S 4, PC 5, A 8, B 9, CC 10, DP 11.
int transfer_code(Assembly& as) {
  int length = 0;
  int reg = register_at(as.line.pos, &length);
  if (reg < 0 || reg == RegPCR) return -1;
  as.line.pos += length;
  return reg;
}

void encode_transfer(Assembly& as, const Mnemonic& m) {
  int from = transfer_code(as);
  if (from < 0) { error(as, " Register Expected"); return; }
  if (*as.line.pos != ',') { error(as, " Comma expected"); return; }
  ++as.line.pos;
  int to = transfer_code(as);
  if (to < 0) { error(as, " Register Expected"); return; }
  if ((from >= 8) != (to >= 8)) { error(as, " Registers of different size"); return; }
  if (!ends_operand(*as.line.pos)) { error(as, " operand delimiter expected"); return; }
  emit_opcode(as, m.inherent);
  emit_byte(as, static_cast<uint8_t>((from << 4) | to));
}

void encode_push_pull(Assembly& as, const Mnemonic& m) {
  const char*& p = as.line.pos;
  if (as.tsc && *p == '#') {
    ++p;
    uint32_t mask = 0;
    if (!eval_absolute(as, p, mask)) return;
    if (mask > 255 || !ends_operand(*p)) {
      error(as, "Byte constant expected");
      return;
    }
    emit_opcode(as, m.inherent);
    emit_byte(as, static_cast<uint8_t>(mask));
    return;
  }
  unsigned mask = 0;
  for (;;) {
    int length = 0;
    int reg = register_at(p, &length);
    static constexpr unsigned Bits[] = {0x06, 0x10, 0x20, 0x40, 0x40, 0x80, 0, 0,
                                        0x02, 0x04, 0x01, 0x08};
    if (reg < 0 || reg == RegPCR) {
      error(as, " Invalid register list");
      return;
    }
    mask |= Bits[reg];
    p += length;
    if (ends_operand(*p)) break;
    if (*p != ',') {
      error(as, " Comma expected");
      return;
    }
    ++p;
  }
  emit_opcode(as, m.inherent);
  emit_byte(as, static_cast<uint8_t>(mask));
}

}  // namespace

void encode(Assembly& as, const Mnemonic& m) {
  as.line.instruction = true;
  switch (m.kind) {
    case K::Inherent:
    case K::PageInherent:
      emit_opcode(as, m.inherent);
      break;
    case K::General:
    case K::PageGeneral:
      encode_general(as, m);
      break;
    case K::ShortBranch: {
      ExprResult e;
      if (!branch_target(as, e)) return;
      emit_opcode(as, m.inherent);
      relative_byte(as, e, 2);
      break;
    }
    case K::LongBranch: {
      ExprResult e;
      if (!branch_target(as, e)) return;
      emit_opcode(as, m.inherent);
      relative_word(as, e, opcode_length(m.inherent) + 2);
      break;
    }
    case K::Transfer:
      encode_transfer(as, m);
      break;
    case K::PushPull:
      encode_push_pull(as, m);
      break;
  }
}

}  // namespace zun::hasm
