// The MC6809 of the simulated KY09 board at instruction level, and its
// disassembler. One routine, cpu_execute, decodes the instruction at an
// address, appends its text to the active text sink and, when asked, performs
// it, so the disassembly shown is exactly what executes. Memory is reached
// only through the Bus; the board's per-step device work, its reset and the
// engine's end-of-interrupt lamp are reached through CpuHooks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "debugger/cpu/bus.h"

namespace zun {

struct OpcodeInfo;
enum class Mode : uint8_t;

// CC bits.
constexpr uint8_t CC_E = 0x80;  // entire state stacked
constexpr uint8_t CC_F = 0x40;  // FIRQ mask
constexpr uint8_t CC_H = 0x20;
constexpr uint8_t CC_I = 0x10;  // IRQ mask
constexpr uint8_t CC_N = 0x08;
constexpr uint8_t CC_Z = 0x04;
constexpr uint8_t CC_V = 0x02;
constexpr uint8_t CC_C = 0x01;

// The CPU kind of the KY09 board's MC6809: the number that selects the board
// and panel layout in the workbench.
constexpr int CPU_KIND_MC6809 = 17;

// The register index shared with the register panel and the debugger
// (the debugger adds 9 for D on its side; the core answers only 0-8).
enum RegisterIndex : int {
  REG_PC = 0,
  REG_S = 1,
  REG_CC = 2,
  REG_DP = 3,
  REG_A = 4,
  REG_B = 5,
  REG_X = 6,
  REG_Y = 7,
  REG_U = 8,
};

// Interrupt kinds of cpu_interrupt and of the kind in service.
enum InterruptKind : int {
  IRQ_NONE = 0,
  IRQ_IRQ = 1,
  IRQ_FIRQ = 2,
  IRQ_NMI = 3,
};

// Receives instruction text. Characters beyond the capacity are dropped; a
// TAB pads with blanks up to the tab column and is dropped when the text is
// already at or past it.
class TextSink {
public:
  explicit TextSink(size_t capacity, size_t tab_column = 17)
      : capacity_(capacity), tab_column_(tab_column) {}
  void append(std::string_view text);
  void clear() { text_.clear(); }
  void truncate(size_t size) { if (size < text_.size()) text_.resize(size); }
  const std::string& text() const { return text_; }
  size_t size() const { return text_.size(); }

private:
  std::string text_;
  size_t capacity_;
  size_t tab_column_;
};

// What the core asks of the board and the engine. Every hook defaults to
// doing nothing, so a bare CPU over a flat memory needs no hooks at all.
class CpuHooks {
public:
  virtual ~CpuHooks() = default;
  // Around every instruction that cpu_step_traced executes.
  virtual void device_pre_step() {}
  virtual void device_post_step() {}
  // cpu_reset without the full flag resets the timer chip only; with it,
  // every on-board device.
  virtual void timer_reset() {}
  virtual void board_reset_devices() {}
  // RTI or LDS ended the service of an interrupt of this kind (1 to 7).
  virtual void sim_end_of_service(int kind) {}
};

enum class Op : uint8_t;
enum class Reg : uint8_t;

// One decoded opcode: the table row plus what the core does with it.
struct Decoded {
  const OpcodeInfo* info = nullptr;  // nullptr: undefined opcode
  Op op{};
  Mode mode{};  // copied from the row: read on every instruction
  Reg reg{};    // accumulator, 16-bit register or memory the operation works on
  uint8_t arg = 0;  // branch condition, SWI number
};

// The one simulated CPU: registers and execution state.
struct Cpu {
  explicit Cpu(Bus& bus, CpuHooks* hooks = nullptr);

  Bus* bus;
  CpuHooks* hooks;  // may be null

  // During an instruction PC holds the address of its first byte.
  uint16_t pc = 0, s = 0, u = 0, x = 0, y = 0;
  uint8_t a = 0, b = 0, dp = 0, cc = CC_I | CC_F;

  bool waiting = false;  // stacked by CWAI, waiting for an interrupt
  // Set when an executed instruction turned out not to be an MC6809 one (an
  // undefined opcode, second byte or indexed post-byte); the core never
  // clears it, its caller does.
  bool undefined = false;
  int in_service = IRQ_NONE;  // kind of the interrupt being served
  uint32_t cycle_counter = 0;  // advanced by the board's timer model only

  // Instruction text goes here; null means no text is formatted at all.
  TextSink* sink = nullptr;

  int transfers = 0;  // operations that loaded PC in the current instruction

  // The three opcode pages (plain, after 0x10, after 0x11), built once from
  // the shared opcode table.
  std::array<Decoded, 256> page1{}, page2{}, page3{};
};

// Decodes the instruction at `address`, appends its text to the active sink
// and, when `execute` is set, performs it. Returns its length in bytes and
// stores the number of control transfers (0 for an undefined opcode, which
// neither executes nor moves PC).
int cpu_execute(Cpu& cpu, uint32_t address, bool execute, int& transfers);

// As cpu_execute; when executing, the board's per-step device hooks run before
// and after the instruction.
int cpu_step_traced(Cpu& cpu, uint32_t address, bool execute, int& transfers);

// CC = I|F, A, B, DP, X, Y, S and PC cleared, U kept, CWAI wait and the
// interrupt in service forgotten. With `full`, every device is reset and PC
// comes from the reset vector.
void cpu_reset(Cpu& cpu, bool full);

// Takes interrupt kind 1 IRQ, 2 FIRQ or 3 NMI: 1 when taken, 0 when masked or
// any other kind.
int cpu_interrupt(Cpu& cpu, int kind);

uint32_t cpu_get_register(const Cpu& cpu, int index);
void cpu_set_register(Cpu& cpu, int index, uint32_t value);
int cpu_register_bits(int index);   // 8, 16, or 100 for an unknown index
int cpu_register_radix(int index);  // 16, 2 for CC, or 0 for an unknown index
uint16_t cpu_get_pc(const Cpu& cpu);
void cpu_set_pc(Cpu& cpu, uint32_t value);
uint16_t cpu_get_s(const Cpu& cpu);

uint32_t cycle_counter_get(const Cpu& cpu);
void cycle_counter_add(Cpu& cpu, uint32_t n);

// JSR, BSR, LBSR: the debugger's step over.
bool is_call_opcode(uint8_t opcode);
// RTS, RTI: the run loop's and the debugger's step out.
bool is_return_opcode(uint8_t opcode);

// Appends to the active text sink, if any.
void disasm_append(Cpu& cpu, std::string_view text);

// Writes "  %4.4X " and the text of the instruction at `address` into `line`
// (replacing its contents); nothing executes. Returns the address of the next
// instruction.
uint32_t disassemble_line(Cpu& cpu, uint32_t address, std::string& line);

}  // namespace zun
