// The instruction set page: the opcode table's rows by mnemonic, with the
// flags that the CPU core sets, found by executing each instruction over
// register, memory and operand values that reach every flag (zero, the sign
// boundaries, equal operands, half carries) besides random ones.
#include "tests/help/instruction_set.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/format.h"
#include "common/m6809_opcodes.h"
#include "debugger/cpu/cpu.h"

namespace zun::help {

namespace {

constexpr uint16_t code_at = 0x1000;
constexpr int samples = 3000;

class FlatMemory : public Bus {
public:
  int board_read(uint32_t addr, uint8_t& out) override {
    out = bytes[addr & 0xFFFF];
    return 0;
  }
  int board_write(uint32_t addr, uint8_t value) override {
    bytes[addr & 0xFFFF] = value;
    return 0;
  }
  std::array<uint8_t, 0x10000> bytes{};
};

// A fixed generator, so the page comes out the same on every run.
struct Random {
  uint32_t state = 0x6809;
  uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  // A byte that is often one of the values where flags turn.
  uint8_t byte() {
    static constexpr uint8_t edges[] = {0x00, 0x01, 0x09, 0x0F, 0x10, 0x40, 0x7F, 0x80, 0x81, 0x99, 0xC0, 0xFF};
    uint32_t r = next();
    return r % 3 ? edges[(r >> 8) % std::size(edges)] : uint8_t(r >> 16);
  }
  uint16_t word() {
    uint32_t r = next() % 3;
    uint8_t hi = byte();
    return r == 0 ? uint16_t(hi << 8 | hi) : r == 1 ? uint16_t(hi << 8 | (hi & 0x80 ? 0xFF : 0x00)) : uint16_t(next());
  }
};

// Register codes of TFR and EXG.
constexpr uint8_t pair_codes[] = {0, 1, 2, 3, 4, 5, 8, 9, 10, 11};

// The instruction's bytes at code_at, with an operand for its mode; indexed
// operands are ",X", so X is the effective address.
void place(FlatMemory& m, const OpcodeInfo& op, Random& rnd) {
  uint16_t at = code_at;
  if (op.page) m.bytes[at++] = op.page;
  m.bytes[at++] = op.opcode;
  switch (op.mode) {
    case Mode::Inherent: break;
    case Mode::Indexed: m.bytes[at++] = 0x84; break;
    case Mode::RegisterPair:
      m.bytes[at++] = uint8_t(pair_codes[rnd.next() % std::size(pair_codes)] << 4 |
                              pair_codes[rnd.next() % std::size(pair_codes)]);
      break;
    case Mode::Immediate8:
    case Mode::Direct:
    case Mode::Relative8:
    case Mode::StackMask: m.bytes[at++] = rnd.byte(); break;
    case Mode::Immediate16:
    case Mode::Extended:
    case Mode::Relative16: {
      uint16_t w = rnd.word();
      m.bytes[at++] = uint8_t(w >> 8);
      m.bytes[at++] = uint8_t(w);
      break;
    }
  }
}

// The address the operand names, where its value must be set.
uint16_t operand_address(const FlatMemory& m, const OpcodeInfo& op, const Cpu& cpu) {
  uint16_t after_opcode = uint16_t(code_at + (op.page ? 2 : 1));
  switch (op.mode) {
    case Mode::Direct: return uint16_t(cpu.dp << 8 | m.bytes[after_opcode]);
    case Mode::Extended: return uint16_t(m.bytes[after_opcode] << 8 | m.bytes[after_opcode + 1]);
    case Mode::Indexed: return cpu.x;
    default: return 0;
  }
}

void put_word(FlatMemory& m, uint16_t at, uint16_t value) {
  m.bytes[at] = uint8_t(value >> 8);
  m.bytes[uint16_t(at + 1)] = uint8_t(value);
}

}  // namespace

std::string flags_of(const OpcodeInfo& op) {
  FlatMemory m;
  Cpu cpu(m);
  Random rnd;
  rnd.state ^= uint32_t(op.page << 8 | op.opcode);
  std::array<bool, 8> changed{}, was_set{}, was_clear{};
  for (int n = 0; n < samples; ++n) {
    cpu.a = rnd.byte();
    cpu.b = rnd.byte();
    cpu.dp = rnd.byte();
    cpu.x = rnd.word();
    cpu.y = rnd.word();
    cpu.u = rnd.word();
    cpu.s = rnd.word();
    cpu.cc = uint8_t(rnd.next());
    cpu.pc = code_at;
    cpu.waiting = cpu.undefined = false;
    cpu.in_service = IRQ_NONE;
    // The instruction, its operand's value (often equal to a register) and
    // both stacks, whose words also come back into CC. Where they meet the
    // instruction, its bytes win: it must stay the instruction of this row.
    place(m, op, rnd);
    std::array<uint8_t, 5> code;
    std::copy_n(m.bytes.begin() + code_at, code.size(), code.begin());
    uint16_t ea = operand_address(m, op, cpu);
    if (op.mode == Mode::Direct || op.mode == Mode::Extended || op.mode == Mode::Indexed) {
      uint32_t pick = rnd.next() % 4;
      put_word(m, ea, pick == 0 ? uint16_t(cpu.a << 8 | cpu.b) : pick == 1 ? cpu.x : rnd.word());
    }
    for (int i = 0; i < 16; i += 2) {
      put_word(m, uint16_t(cpu.s + i), rnd.word());
      put_word(m, uint16_t(cpu.u + i), rnd.word());
    }
    std::copy(code.begin(), code.end(), m.bytes.begin() + code_at);
    uint8_t before = cpu.cc;
    int transfers = 0;
    cpu_execute(cpu, code_at, true, transfers);
    for (int bit = 0; bit < 8; ++bit) {
      uint8_t mask = uint8_t(0x80 >> bit);
      changed[bit] = changed[bit] || ((before ^ cpu.cc) & mask);
      (cpu.cc & mask ? was_set : was_clear)[bit] = true;
    }
  }
  std::string flags;
  for (int bit = 0; bit < 8; ++bit)
    flags += !changed[bit] ? '-' : !was_set[bit] ? '0' : !was_clear[bit] ? '1' : '*';
  return flags;
}

namespace {

const char* const page_head = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>The MC6809 instruction set</title>
<link rel="stylesheet" type="text/css" href="help.css"></head>
<body>
<!-- Made by tests/help/isa_page from the opcode table and the CPU core: run
     build-test/tests/isa_page >data/help/instructions.html after a change. -->
<p class="nav"><a href="index.html">Contents</a> | <a href="board.html">Previous: The KY09 board</a> | <a href="simulator.html">Next: The simulator</a></p>
<h1>The MC6809 instruction set</h1>
<p>Every instruction of the MC6809 in every addressing mode, with its opcode, its
length in bytes, its clock cycles and what it does to each bit of CC. The rows come
from the one opcode table that the assembler encodes with, the disassembler reads and
the simulator executes, and the flag columns from what the simulator's CPU does when
it executes the instruction. How operands are written is on
<a href="hasm09.html#addressing">the assembler page</a>; what the simulated board does
around the CPU is on <a href="board.html">the board page</a>.</p>
<ul>
<li><b>Opcode</b>: hexadecimal; <code>10</code> and <code>11</code> before it are the
page bytes that come first.</li>
<li><b>Bytes</b> and <b>Cycles</b>: <code>+</code> marks the indexed mode, whose
post-byte adds bytes and cycles (below), and the stack instructions, which take one
cycle more for each byte pushed or pulled. A long conditional branch takes the first
number of cycles when it is not taken, the number in brackets when it is; LBRN, which
never branches, has one number. RTI takes 6
cycles when the pulled E bit is clear (CC and PC) and 15 when it is set; SYNC at least
4 and CWAI at least 20, while they wait.</li>
<li><b>E F H I N Z V C</b>, the bits of CC: <code>-</code> not changed,
<code>*</code> set from the result, <code>0</code> cleared, <code>1</code> set.
ANDCC, ORCC, CWAI, RTI, the pulls and TFR or EXG into CC set CC as a whole. H after
a subtraction or a comparison is what the simulator computes; the datasheet leaves it
undefined there.</li>
<li>The second names <code>LSL</code>, <code>LSLA</code>, <code>LSLB</code>,
<code>BHS</code>, <code>BLO</code>, <code>LBHS</code> and <code>LBLO</code> are
<code>ASL</code>, <code>ASLA</code>, <code>ASLB</code>, <code>BCC</code>,
<code>BCS</code>, <code>LBCC</code> and <code>LBCS</code>.</li>
</ul>
<table border="1" cellspacing="0" cellpadding="3" id="indexed">
<tr><th>Indexed form</th><th>Post-byte</th><th>Bytes +</th><th>Cycles +</th><th>Indirect: cycles +</th></tr>
<tr><td><code>,R</code></td><td>1RR00100</td><td>0</td><td>0</td><td>3</td></tr>
<tr><td><code>n,R</code>, n from -16 to 15</td><td>0RRnnnnn</td><td>0</td><td>1</td><td>(as 8 bits)</td></tr>
<tr><td><code>n,R</code>, 8 bits</td><td>1RR01000</td><td>1</td><td>1</td><td>4</td></tr>
<tr><td><code>n,R</code>, 16 bits</td><td>1RR01001</td><td>2</td><td>4</td><td>7</td></tr>
<tr><td><code>A,R</code>, <code>B,R</code></td><td>1RR00110, 1RR00101</td><td>0</td><td>1</td><td>4</td></tr>
<tr><td><code>D,R</code></td><td>1RR01011</td><td>0</td><td>4</td><td>7</td></tr>
<tr><td><code>,R+</code>, <code>,-R</code></td><td>1RR00000, 1RR00010</td><td>0</td><td>2</td><td>(not allowed)</td></tr>
<tr><td><code>,R++</code>, <code>,--R</code></td><td>1RR00001, 1RR00011</td><td>0</td><td>3</td><td>6</td></tr>
<tr><td><code>n,PCR</code>, 8 bits</td><td>1xx01100</td><td>1</td><td>1</td><td>4</td></tr>
<tr><td><code>n,PCR</code>, 16 bits</td><td>1xx01101</td><td>2</td><td>5</td><td>8</td></tr>
<tr><td><code>[n]</code></td><td>10011111</td><td>2</td><td>(indirect only)</td><td>5</td></tr>
</table>
<p>RR is the register: 00 X, 01 Y, 10 U, 11 S; an indirect form sets bit 4 of the
post-byte.</p>
<table border="1" cellspacing="0" cellpadding="3" id="instructions">
<tr><th>Mnemonic</th><th>Mode</th><th>Opcode</th><th>Bytes</th><th>Cycles</th><th>E</th><th>F</th><th>H</th><th>I</th><th>N</th><th>Z</th><th>V</th><th>C</th></tr>
)";

std::string opcode_text(const OpcodeInfo& op) {
  return op.page ? format("%02X %02X", op.page, op.opcode) : format("%02X", op.opcode);
}

// Whether the core takes the branch under some CC; LBRN never does.
bool ever_taken(const OpcodeInfo& op) {
  FlatMemory m;
  Cpu cpu(m);
  Random rnd;
  place(m, op, rnd);
  for (int cc = 0; cc < 256; ++cc) {
    cpu.pc = code_at;
    cpu.cc = uint8_t(cc);
    int transfers = 0;
    cpu_execute(cpu, code_at, true, transfers);
    if (transfers) return true;
  }
  return false;
}

// A long conditional branch takes one cycle more when it branches.
std::string cycles_text(const OpcodeInfo& op) {
  if (op.mode == Mode::Indexed || op.mode == Mode::StackMask) return format("%d+", op.cycles);
  if (op.mode == Mode::Relative16 && op.page && ever_taken(op)) return format("%d (%d)", op.cycles, op.cycles + 1);
  return format("%d", op.cycles);
}

}  // namespace

std::string instruction_set_page() {
  std::vector<const OpcodeInfo*> rows;
  for (const OpcodeInfo& op : opcode_table()) rows.push_back(&op);
  std::stable_sort(rows.begin(), rows.end(), [](const OpcodeInfo* a, const OpcodeInfo* b) {
    std::string_view ma = a->mnemonic, mb = b->mnemonic;
    return ma != mb ? ma < mb : a->mode < b->mode;
  });
  std::string page = page_head;
  std::string_view last;
  for (const OpcodeInfo* op : rows) {
    std::string id = op->mnemonic != last ? format(" id=\"op-%s\"", op->mnemonic) : "";
    last = op->mnemonic;
    page += format("<tr%s><td><code>%s</code></td><td>%s</td><td>%s</td><td>%d%s</td><td>%s</td>", id.c_str(),
                   op->mnemonic, mode_name(op->mode), opcode_text(*op).c_str(), op->length,
                   op->mode == Mode::Indexed ? "+" : "", cycles_text(*op).c_str());
    for (char f : flags_of(*op)) page += format("<td>%c</td>", f);
    page += "</tr>\n";
  }
  page += "</table>\n</body></html>\n";
  return page;
}

}  // namespace zun::help
