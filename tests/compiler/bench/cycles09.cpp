// cycles09: runs one S-record program on the simulated board, like run09,
// and sums the MC6809 clock cycles of every instruction it executes, from
// the datasheet's instruction table with the indexed post-byte extras, the
// register count of PSH/PUL, taken long conditional branches and the RTI
// of a full frame. With --function ADDR the cycles spent from each entry at
// ADDR up to its return are counted apart (nested calls included).
//   cycles09 [--function HEX] [--max N] FILE.s19
// Prints the console output, then "total <cycles>", "function <cycles>",
// "calls <n>" and "result <D at the end>".
#include "common/m6809_opcodes.h"
#include "debugger/engine/engine.h"
#include "debugger/tovrel/tovrel.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace zun;

// Cycles the indexed post-byte adds to the base count.
int indexed_extra(uint8_t post) {
  if (!(post & 0x80)) return 1;  // 5-bit offset
  bool indirect = post & 0x10;
  int extra = 0;
  switch (post & 0x0F) {
  case 0x0: case 0x2: extra = 2; break;      // ,R+  ,-R
  case 0x1: case 0x3: extra = 3; break;      // ,R++ ,--R
  case 0x4: extra = 0; break;                // ,R
  case 0x5: case 0x6: extra = 1; break;      // B,R  A,R
  case 0x8: case 0xC: extra = 1; break;      // n8,R n8,PCR
  case 0x9: extra = 4; break;                // n16,R
  case 0xB: extra = 4; break;                // D,R
  case 0xD: extra = 5; break;                // n16,PCR
  case 0xF: return 5;                        // [n16]
  default: return 0;
  }
  return extra + (indirect ? 3 : 0);
}

int stacked_bytes(uint8_t mask) {
  int n = 0;
  for (int bit = 0; bit < 8; ++bit)
    if (mask & (1 << bit)) n += bit >= 4 ? 2 : 1;  // PC, U/S, Y, X words; DP, B, A, CC bytes
  return n;
}

struct Timed {
  const OpcodeInfo* info = nullptr;
  int cycles = 0;
};

Timed decode(const Board& board, uint16_t pc) {
  uint8_t page = 0;
  uint16_t at = pc;
  uint8_t op = board.board_peek(at);
  if (op == 0x10 || op == 0x11) {
    page = op;
    op = board.board_peek(uint16_t(++at));
  }
  Timed d;
  d.info = find_opcode(page, op);
  if (!d.info) return d;
  d.cycles = d.info->cycles;
  uint8_t post = board.board_peek(uint16_t(at + 1));
  if (d.info->mode == Mode::Indexed) d.cycles += indexed_extra(post);
  if (d.info->mode == Mode::StackMask) d.cycles += stacked_bytes(post);
  return d;
}

class Host : public EngineHost {
public:
  void output_line(const std::string& text) override { std::fputs(text.c_str(), stderr); }
};

}  // namespace

int main(int argc, char** argv) {
  std::string file;
  long function = -1;
  unsigned long long max = 200000000ULL;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--function" && i + 1 < argc) {
      function = std::strtol(argv[++i], nullptr, 16);
    } else if (a == "--max" && i + 1 < argc) {
      max = std::strtoull(argv[++i], nullptr, 10);
    } else if (file.empty() && a[0] != '-') {
      file = a;
    } else {
      std::fputs("usage: cycles09 [--function HEX] [--max N] FILE.s19\n", stderr);
      return 2;
    }
  }
  if (file.empty()) {
    std::fputs("usage: cycles09 [--function HEX] [--max N] FILE.s19\n", stderr);
    return 2;
  }
  TovrelLibrary library;
  Board board(library);
  Host host;
  Engine engine(board, host, "");
  board.board_configuration_set(2);
  board.board_clear_memory();
  LoadResult loaded = engine.load_srecords(file);
  if (loaded.code != 0 || loaded.data_bytes == 0) {
    std::fprintf(stderr, "cycles09: can't load '%s'\n", file.c_str());
    return 1;
  }
  int slot = board.dev_open(uint32_t(tovrel::DeviceKind::Terminal), 0xE028, 0);
  auto* console = slot < 0 ? nullptr : tovrel::find<tovrel::SerialTerminal>(board.slots[slot].handle);
  if (!console) {
    std::fputs("cycles09: can't open the console device\n", stderr);
    return 1;
  }
  board.onboard_connect(int(Onboard::Acia1), board.slots[slot].handle);
  board.slots[slot].onboard = int(Onboard::Acia1);
  cpu_reset(engine.cpu, true);
  engine.cpu.pc = loaded.end_entry.value_or(0) != 0
                      ? uint16_t(*loaded.end_entry)
                      : uint16_t(board.board_peek(0xFFFE) << 8 | board.board_peek(0xFFFF));
  engine.run_mode = board.run_mode = RunMode::Fast;

  unsigned long long total = 0, inside = 0, calls = 0, steps = 0;
  int depth = 0;            // entries of the function still running
  uint16_t entry_s = 0;     // S at the outermost entry
  int code = 0;
  for (;; ++steps) {
    if (steps == max) {
      std::fputs("cycles09: instruction limit reached\n", stderr);
      code = 3;
      break;
    }
    uint16_t pc = engine.cpu.pc;
    Timed d = decode(board, pc);
    if (function >= 0 && pc == uint16_t(function)) {
      if (depth++ == 0) entry_s = engine.cpu.s;
      ++calls;
    }
    StepResult r = engine.step_instruction(false);
    if (std::string sent = console->take_output(); !sent.empty()) std::fputs(sent.c_str(), stdout);
    if (r.undefined || !d.info) {
      std::fprintf(stderr, "cycles09: undefined opcode at %04X\n", r.address);
      code = 4;
      break;
    }
    int cycles = d.cycles;
    bool fell_through = engine.cpu.pc == uint16_t(pc + r.length);
    if (d.info->page == 0x10 && d.info->mode == Mode::Relative16 && !fell_through) ++cycles;
    if (d.info->page == 0 && d.info->opcode == 0x3B && (engine.cpu.cc & 0x80)) cycles = 15;
    total += cycles;
    if (depth > 0) {
      inside += cycles;
      // the outermost entry has returned once S is back above its return address
      if (engine.cpu.s > entry_s) depth = 0;
    }
    if (r.transfers && engine.cpu.pc == r.address) {
      uint8_t op = board.board_peek(r.address);
      if (op == 0x20 || op == 0x16 || op == 0x0E || op == 0x6E || op == 0x7E) break;
    }
  }
  board.device_post_step();
  if (std::string sent = console->take_output(); !sent.empty()) std::fputs(sent.c_str(), stdout);
  std::printf("total %llu\nfunction %llu\ncalls %llu\nresult %d\ninstructions %llu\n", total, inside, calls,
              int(int16_t(engine.cpu.a << 8 | engine.cpu.b)), steps);
  board.dev_close_all();
  return code;
}
