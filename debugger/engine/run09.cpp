// run09: runs one S-record program on the board without monitor, with a
// console on ACIA 1 whose output goes to standard output and whose input is
// standard input. Stops at a BRA, LBRA or JMP to itself, at an undefined
// opcode or after a number of instructions. A program that comes to rest
// where its outermost call returns to (a C program's __lowexit, where main
// returns and exit() goes) ends with its status in D. With --stay the board
// goes on running at rest until standard input ends.
#include "debugger/engine/engine.h"
#include "debugger/engine/quiet_run.h"

#include "common/format.h"
#include "debugger/tovrel/tovrel.h"

#include <algorithm>

namespace zun {

namespace {

constexpr const char* usage = "usage: run09 [--max N] [--regs] [--trace] [--dump FROM-TO] [--stay] FILE.s19\n";
constexpr uint64_t input_poll_interval = 256;

std::optional<uint64_t> parse_unsigned(const std::string& text, int base) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    if (d >= base || value > (UINT64_MAX - d) / base) return std::nullopt;
    value = value * base + d;
  }
  return value;
}

std::string registers_line(const Cpu& c, uint16_t pc) {
  return format("PC=%04X A=%02X B=%02X X=%04X Y=%04X U=%04X S=%04X DP=%02X CC=%02X\n", pc, c.a, c.b, c.x, c.y,
                c.u, c.s, c.dp, c.cc);
}

bool is_jump_to_self(const Board& board, const StepResult& r, uint16_t pc) {
  if (!r.executed || r.transfers == 0 || pc != r.address) return false;
  uint8_t op = board.board_peek(r.address);
  return op == 0x20 || op == 0x16 || op == 0x0E || op == 0x6E || op == 0x7E;
}

// Where the outermost call returns to: the call made with the highest stack
// pointer, the latest of equals. In a C program that is the startup's call
// of main, whose return address is __lowexit.
struct OutermostCall {
  std::optional<uint16_t> return_to;
  uint16_t s = 0;  // S before the call

  void note(const Board& board, const Cpu& cpu, const StepResult& r) {
    if (!r.executed || r.transfers == 0) return;
    const uint16_t s_before = uint16_t(cpu.s + 2);  // a call pushed its return address
    if ((return_to && s_before < s) || !is_call_opcode(board.board_peek(r.address))) return;
    s = s_before;
    return_to = uint16_t(r.address + r.length);
  }
};

// The exit status a program leaves in D: 0-255, anything above is 255.
int program_status(const Cpu& cpu) { return std::min<int>(cpu.a << 8 | cpu.b, 255); }

// The loader's messages (the address of a refused write) go to standard error.
class Run09Host : public EngineHost {
public:
  explicit Run09Host(Run09Io& io) : io(io) {}
  void output_line(const std::string& text) override { io.err(text); }

private:
  Run09Io& io;
};

void dump_memory(const Board& board, uint32_t from, uint32_t to, Run09Io& io) {
  for (uint32_t line = from; line <= to; line += 16) {
    std::string text = format("%04X:", line);
    for (uint32_t a = line; a <= to && a < line + 16; ++a) text += format(" %02X", board.board_peek(a));
    io.err(text + "\n");
    if (line > 0xFFFF - 16) break;
  }
}

}  // namespace

std::optional<Run09Options> parse_run09_args(const std::vector<std::string>& args, std::string& error) {
  Run09Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--regs") {
      o.regs = true;
    } else if (a == "--trace") {
      o.trace = true;
    } else if (a == "--stay") {
      o.stay = true;
    } else if (a == "--max" || a == "--dump") {
      if (i + 1 == args.size()) {
        error = format("run09: %s needs a value\n", a.c_str());
        return std::nullopt;
      }
      const std::string& v = args[++i];
      if (a == "--max") {
        auto n = parse_unsigned(v, 10);
        if (!n) {
          error = format("run09: bad instruction count '%s'\n", v.c_str());
          return std::nullopt;
        }
        o.max = *n;
        continue;
      }
      auto dash = v.find('-');
      auto from = parse_unsigned(v.substr(0, dash), 16);
      auto to = dash == std::string::npos ? std::nullopt : parse_unsigned(v.substr(dash + 1), 16);
      if (!from || !to || *from > *to || *to > 0xFFFF) {
        error = format("run09: bad dump range '%s' (want FROM-TO in hex)\n", v.c_str());
        return std::nullopt;
      }
      o.dump = true;
      o.dump_from = uint32_t(*from);
      o.dump_to = uint32_t(*to);
    } else if (a.size() > 1 && a[0] == '-' ) {
      error = format("run09: unknown option '%s'\n%s", a.c_str(), usage);
      return std::nullopt;
    } else if (o.file.empty()) {
      o.file = a;
    } else {
      error = format("run09: more than one file\n%s", usage);
      return std::nullopt;
    }
  }
  if (o.file.empty()) {
    error = usage;
    return std::nullopt;
  }
  return o;
}

int run09(const Run09Options& options, Run09Io& io) {
  TovrelLibrary library;
  Board board(library);
  Run09Host host(io);
  Engine engine(board, host, "");
  board.board_configuration_set(2);
  board.board_clear_memory();

  LoadResult loaded = engine.load_srecords(options.file);
  if (loaded.code == 1) {
    io.err(format("run09: can't open '%s'\n", options.file.c_str()));
    return 1;
  }
  if (loaded.code != 0) {
    io.err(format("run09: can't load '%s': line %d: %s\n", options.file.c_str(), loaded.line,
                  loaded.reason.c_str()));
    return 1;
  }
  // Without a single data byte there is no program: running zeroed memory
  // would only spin until --max.
  if (loaded.data_bytes == 0) {
    io.err(format("run09: no data records in '%s'\n", options.file.c_str()));
    return 1;
  }
  int slot = board.dev_open(uint32_t(tovrel::DeviceKind::Terminal), 0xE028, 0);
  auto* console = slot < 0 ? nullptr : tovrel::find<tovrel::SerialTerminal>(board.slots[slot].handle);
  if (!console) {
    io.err("run09: can't open the console device\n");
    return 1;
  }
  board.onboard_connect(int(Onboard::Acia1), board.slots[slot].handle);
  board.slots[slot].onboard = int(Onboard::Acia1);

  cpu_reset(engine.cpu, true);
  engine.cpu.pc = loaded.end_entry.value_or(0) != 0
                      ? uint16_t(*loaded.end_entry)
                      : uint16_t(board.board_peek(0xFFFE) << 8 | board.board_peek(0xFFFF));
  engine.run_mode = board.run_mode = RunMode::Fast;

  OutermostCall outermost;
  bool input_open = true;
  bool resting = false;  // with --stay: came to rest, runs on while input comes
  std::string unsent;  // standard input not yet handed to the console
  int code = 0;
  std::string stop_text;
  uint16_t stop_pc = 0;
  for (uint64_t steps = 0;;) {
    if (steps == options.max) {
      code = 3;
      stop_text = format("run09: stopped after %llu instructions\n", (unsigned long long)steps);
      stop_pc = engine.cpu.pc;
      break;
    }
    if (input_open && unsent.empty() && steps % input_poll_interval == 0) input_open = io.poll_input(unsent);
    if (resting) {
      // Once the input has ended and its last byte is a character time
      // past, nothing more can happen that the input could answer.
      if (!input_open && unsent.empty() && !console->input_pending) break;
      // At rest nothing may read any more: what comes goes on the line at
      // once, and the ACIA keeps what it can, as on the board.
      console->type_text(unsent);
      unsent.clear();
    }
    // A pipe delivers faster than any serial line: hand the terminal one byte
    // at a time, and only once the program has read the last, so a reader
    // that works between bytes never loses one to an overrun.
    if (!unsent.empty() && console->pending_input() == 0 &&
        !(board.acia[int(Onboard::Acia1)].status & Mc6850::RDRF)) {
      console->type_text(unsent.substr(0, 1));
      unsent.erase(0, 1);
    }
    // Steps count instructions, and idle steps while waiting after CWAI, but
    // not the taking of an interrupt.
    StepResult r;
    if (options.trace) {
      if (engine.step_interrupts(false)) continue;
      ++steps;
      if (!engine.cpu.waiting) io.err(registers_line(engine.cpu, engine.cpu.pc));
      r = engine.step_instruction(false);
      outermost.note(board, engine.cpu, r);
    } else {
      // Up to the next look at the input, or one step while a byte waits
      // for the console; an interrupt and the program's end stop them
      // sooner. The outermost call is noted on the way.
      uint64_t limit = options.max - steps;
      if (!unsent.empty())
        limit = 1;
      else if (input_open || resting)
        limit = std::min(limit, input_poll_interval - steps % input_poll_interval);
      steps += engine.run_quiet(limit, [&](const StepResult& s) {
        if (s.interrupt) return true;
        outermost.note(board, engine.cpu, s);
        return is_jump_to_self(board, s, engine.cpu.pc) && !resting;
      });
      r = engine.last_step;
      if (r.interrupt) --steps;
    }
    if (console->has_output()) io.out(console->take_output());
    if (r.interrupt) continue;
    if (r.undefined) {
      code = 4;
      stop_text = format("run09: undefined opcode at %04X\n", r.address);
      stop_pc = r.address;
      break;
    }
    if (!resting && is_jump_to_self(board, r, engine.cpu.pc)) {
      stop_pc = r.address;
      if (r.address == outermost.return_to) code = program_status(engine.cpu);
      if (!options.stay) break;
      resting = true;
    }
  }
  // Bytes already written by the program but still in the ACIA go out too.
  board.device_post_step();
  if (std::string sent = console->take_output(); !sent.empty()) io.out(sent);
  io.err(stop_text);
  if (options.regs) io.err(registers_line(engine.cpu, stop_pc));
  if (options.dump) dump_memory(board, options.dump_from, options.dump_to, io);
  board.dev_close_all();
  return code;
}

}  // namespace zun
