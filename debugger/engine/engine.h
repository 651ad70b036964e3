// The simulator engine: single steps, slow and fast running by explicit timer
// ticks, the two resets, interrupt arbitration, the simulator's breakpoint
// table and the S-record loader. Windows drive it through its commands and
// learn of stops, repaints and messages through EngineHost; run09 drives it
// headless.
#pragma once
#include "debugger/board/board.h"
#include "debugger/cpu/cpu.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zun {

// What the engine needs from the window and the debugger around it. Every
// method defaults to nothing, so a headless engine needs no host.
class EngineHost {
public:
  virtual ~EngineHost() = default;
  // The debugger's stop notification.
  virtual void on_stop() {}
  // Panels shown by the visual window need repainting.
  virtual void repaint() {}
  // The run mode changed: the window starts or kills its 100 ms timer.
  virtual void run_mode_changed() {}
  virtual void message_box(const std::string& caption, const std::string& text) {}
  virtual void error_box(const std::string& text) {}
  // One line for the output window.
  virtual void output_line(const std::string& text) {}
};

// Window command ids of the simulator window.
enum SimCommand : int {
  SIM_RESET = 768,
  SIM_RESET_CPU = 769,
  SIM_RUN = 770,
  SIM_RUN_FAST = 771,
  SIM_STOP = 772,
  SIM_STEP = 773,
  SIM_REFRESH = 774,
  SIM_CLEAR_BYTES = 775,
  SIM_TOGGLE_ROM_WRITABLE = 779,
  SIM_TOGGLE_EXCEPTIONS = 780,
  SIM_REQUEST_IRQ_FIRST = 787,  // 787-793: interrupt kinds 1-7
  SIM_REQUEST_IRQ_LAST = 793,
  SIM_LOAD = 809,
  SIM_RELOAD = 810,
  SIM_AFTER_LOAD = 811,
  SIM_SETUP = 812,
};

// ---- breakpoints.cpp ----

enum class BpState : uint8_t { Disabled = 0, Enabled = 1, Temporary = 2 };

class BreakpointTable {
public:
  static constexpr int capacity = 4000;
  BreakpointTable() { clear_all(); }
  int find(uint32_t address) const;
  bool exists(uint32_t address) const { return find(address) >= 0; }
  // The state of the entry at `address` (0 when none or disabled); with
  // `consume` a temporary entry is removed and reported as enabled.
  int hit(uint32_t address, bool consume);
  // The slot index, or -1 when the table is full. An existing entry is raised:
  // a disabled one takes the requested state, a temporary one set again as
  // enabled becomes enabled; an enabled one stays enabled.
  int set(uint32_t address, bool temporary);
  // 63 when an entry was removed, else 0.
  int remove(uint32_t address);
  int enable(uint32_t address);
  int disable(uint32_t address);
  void clear_all();
  bool empty() const { return used == 0; }
  size_t free_entries() const { return size_t(capacity - used); }
  // False when no entry stands at the 16-bit address: the run loop asks this
  // before every instruction.
  bool marked(uint16_t address) const { return marks[address]; }

  struct Entry {
    int64_t address = -1;  // -1: free
    BpState state = BpState::Disabled;
  };
  // An entry's state may be changed here; its address only through the
  // methods above, which keep the marks.
  std::vector<Entry> entries;

private:
  void take(size_t index, uint32_t address, BpState state);
  void free_entry(size_t index);
  std::vector<bool> marks = std::vector<bool>(0x10000);
  int used = 0;
};

// ---- loader.cpp ----

struct LoadResult {
  int code = 0;  // 0 success, 1 file not opened, 2 bad record or failed write
  int line = 0;        // with code 2: the line of the fault
  std::string reason;  // with code 2: what is wrong with it
  std::optional<uint32_t> end_entry;  // the S7/S8/S9 entry, when one was read
  size_t data_bytes = 0;              // bytes written from data records
};

// What one engine step did.
struct StepResult {
  bool executed = false;    // an instruction ran
  bool interrupt = false;   // an interrupt was taken instead
  uint16_t address = 0;     // the instruction's address
  int length = 0;
  int transfers = 0;
  bool undefined = false;   // the opcode is not an MC6809 instruction
};

class Engine : public CpuHooks {
public:
  Engine(Board& board, EngineHost& host, std::string bin_dir);

  // ---- commands.cpp ----
  // Carries out a window command; the result of 809-811, else 1.
  int command(int id);
  void reset_simulator();   // 768
  void reset_cpu();         // 769
  void run_slow();          // 770
  void run_fast();          // 771
  void stop();              // 772
  void step();              // 773
  void request_interrupt(int kind);  // 787-793 give kinds 1-7
  int load();               // 809
  int reload();             // 810
  int after_load();         // 811
  // 812 after its setup dialog closed: the load file again, reporting errors.
  void setup_done();
  // The 100 ms timer of the window while running: up to `steps`
  // instructions (0: the window's 500), fewer when the run stops. Returns
  // the steps made.
  uint64_t sim_timer_tick(uint64_t steps = 0);
  void goto_here(uint32_t address);
  void clear_all_breaks();
  void sim_reset_state(bool clear_breakpoints);

  // What the debugger uses: the commands it sends, and the breakpoint table.
  void sim_post_step() { command(SIM_STEP); }
  void sim_post_run_fast() { command(SIM_RUN_FAST); }
  void sim_post_stop() { command(SIM_STOP); }
  int sim_post_reload() { return command(SIM_RELOAD); }
  int sim_post_load() { return command(SIM_LOAD); }
  bool sim_is_running_fast() const { return run_mode == RunMode::Fast; }
  RunMode sim_run_mode() const { return run_mode; }
  void sim_set_visual(bool shown) { visual = shown; }
  int sim_bp_find(uint32_t address) const { return breakpoints.find(address); }
  bool sim_bp_exists(uint32_t address) const { return breakpoints.exists(address); }
  int sim_bp_hit(uint32_t address, bool consume) { return breakpoints.hit(address, consume); }
  int sim_bp_set(uint32_t address, bool temporary) { return breakpoints.set(address, temporary); }
  int sim_bp_remove(uint32_t address) { return breakpoints.remove(address); }
  int sim_bp_enable(uint32_t address) { return breakpoints.enable(address); }
  int sim_bp_disable(uint32_t address) { return breakpoints.disable(address); }
  void sim_bp_clear_all() { breakpoints.clear_all(); }

  // ---- step.cpp ----
  StepResult sim_step_once(bool display);
  // The two halves of a step: interrupt arbitration (true when it ended the
  // step) and the instruction, or the idle devices while waiting after CWAI.
  bool step_interrupts(bool display);
  StepResult step_instruction(bool display);

  // ---- quiet_run.h ----
  // Up to `limit` undisplayed steps, each exactly as sim_step_once(false),
  // but those that need nothing of the devices but time without their
  // per-step work. `watch` (const StepResult&) -> bool is called after every
  // step that took an interrupt or transferred control, and ends the run by
  // answering true; the timer and the CPU's cycle counter may lag behind
  // while it looks, and are up to date again at every other stop and when
  // the run ends. The run also ends after a step that stopped the engine
  // or met an undefined opcode, and before any but the first instruction
  // where a breakpoint may stand. Returns the number of steps; last_step
  // holds the last one.
  template <class Watch>
  uint64_t run_quiet(uint64_t limit, Watch&& watch);

  // ---- loader.cpp ----
  LoadResult load_srecords(const std::string& path);
  int load_srecords_reporting(const std::string& path);
  int load_default_target();
  bool sim_load_file_changed();

  // CpuHooks
  void device_pre_step() override {
    board.device_pre_step();
    cpu.cycle_counter = board.cycle_counter;
  }
  void device_post_step() override { board.device_post_step(); }
  void timer_reset() override;
  void board_reset_devices() override;
  void sim_end_of_service(int kind) override;

  Board& board;
  EngineHost& host;
  Cpu cpu;
  std::string bin_dir;  // where the programs are; the configuration lies beside it
  BreakpointTable breakpoints;

  RunMode run_mode = RunMode::Stopped;
  bool busy = false;
  uint32_t entry_address = 0;
  bool break_on_irq = false;
  bool exceptions_enabled = true;
  std::array<bool, 8> user_requests{};  // kinds 1-7
  std::array<bool, 8> in_service{};     // lamps, kinds 1-7
  bool stopped_at_breakpoint = false;
  // The breakpoint a run started on while an interrupt was taken in place of
  // its instruction: it does not stop the run until that instruction ran.
  std::optional<uint16_t> leaving;
  uint32_t byte_total = 0;
  uint16_t current_mark = 0;
  bool visual = false;
  std::string load_file;                // the current load file
  std::string load_file_name;           // its name, for Reload
  std::filesystem::file_time_type load_file_time{};
  int stop_count = 0;                   // bumped by every stop
  StepResult last_step;                 // what the last engine step did
  // The source-level debugger's stop notification, called after the host's
  // on_stop wherever the engine notifies; empty while no debugger listens.
  std::function<void()> debugger_on_stop;
  // Asked where a run reaches a breakpoint: true lets the run go on past it
  // with no stop (the debugger's temporaries that count only in another
  // call); empty while no debugger listens.
  std::function<bool()> debugger_passes_breakpoint;

private:
  // What an instruction may change, kept while Break on IO may refuse it a
  // device and the engine then takes it back.
  struct SavedState {
    uint16_t pc, s, u, x, y;
    uint8_t a, b, dp, cc;
    bool waiting;
    int in_service;
    std::array<bool, 8> lamps;
  };
  void save_for_take_back();
  void take_back();
  SavedState take_back_state{};

  // Whether a button's interrupt request waits; asked before every
  // instruction, where most of the time none does.
  bool any_user_request() const {
    uint64_t any = 0;
    static_assert(sizeof user_requests == sizeof any);
    std::memcpy(&any, user_requests.data(), sizeof any);
    return any != 0;
  }
  // Whether the next step may be a quiet one: no interrupt requested, no
  // wait after CWAI, no Break on IO, and the devices quiet.
  bool quiet_ahead();
  template <bool watch_breakpoints, class Watch>
  uint64_t quiet_steps(uint64_t limit, Watch& watch);
  struct QuietEnd {
    uint64_t steps;
    enum How { next_step, finish_step, run_over } how;
  };
  template <bool watch_breakpoints, class Watch>
  QuietEnd quiet_instructions(uint64_t limit, Watch& watch);

  // A bad record or a refused write, with its line, to the output window.
  void report_load_fault(const std::string& path, const LoadResult& r);

  void start_running(RunMode mode);
  void notify() {
    host.on_stop();
    if (debugger_on_stop) debugger_on_stop();
  }
};

// ---- run09.cpp ----

// The headless runner: loads an S-record file into a board without monitor,
// runs until the program jumps to itself, and reports on standard streams.
struct Run09Options {
  uint64_t max = 1000000000;
  bool regs = false;
  bool trace = false;
  bool dump = false;
  // At rest (a jump to itself) the board goes on running until standard
  // input ends, as a board at rest does, instead of ending the run there.
  bool stay = false;
  uint32_t dump_from = 0, dump_to = 0;
  std::string file;
};

class Run09Io {
public:
  virtual ~Run09Io() = default;
  virtual void out(std::string_view bytes) = 0;
  virtual void err(std::string_view text) = 0;
  // Appends whatever input is ready without waiting; false once input ended.
  virtual bool poll_input(std::string& bytes) = 0;
};

// Options from the arguments after the program name; nothing and a message
// when they do not fit.
std::optional<Run09Options> parse_run09_args(const std::vector<std::string>& args, std::string& error);
// Exit code: at a jump to itself where the outermost call returns to (a C
// program's __lowexit) the program's status in D (0-255, above: 255), at any
// other jump to itself 0 (with --stay: the same, once the input has ended);
// 1 when the file does not load, 3 after --max instructions, 4 at an
// undefined opcode.
int run09(const Run09Options& options, Run09Io& io);

}  // namespace zun
