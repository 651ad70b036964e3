// The debugger's one road to the target: registers, memory, breakpoints,
// stepping, running, reset and loading, each a call of the simulator engine.
// Every operation checks the target kind (the command that opened the
// debugger); only the two simulator kinds do anything, the others answer 0.
#pragma once
#include "debugger/engine/engine.h"
#include "debugger/sld/sld.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zun::sld {

// Frame commands that open the debugger on the board simulator.
constexpr uint32_t kSourceLevelKind = 43096;
constexpr uint32_t kMachineLevelKind = 43098;

// Register indices of the debugger: the CPU's 0-8, and 9 for D (A:B).
constexpr int kRegisterD = 9;

class TargetAccess : public SldTarget {
public:
  TargetAccess(Engine& engine, SldHost& host);

  // Stores the kind; 1 for a simulator kind, which also tells the simulator
  // that the debugger drives it, else 0.
  int target_set_kind(uint32_t kind);
  uint32_t target_kind() const { return kind_; }
  bool is_simulator() const { return kind_ == kSourceLevelKind || kind_ == kMachineLevelKind; }

  uint32_t target_get_register(int index);
  void target_set_register(int index, uint32_t value);
  uint32_t target_get_pc() override;
  void target_set_pc(uint32_t value);
  uint32_t target_get_sp() override;
  // Memory is read with the board's peek: a debugger read never clears a
  // chip's status or consumes a received byte.
  uint32_t target_read(uint32_t address, int size) override;
  void target_write(uint32_t address, uint32_t value, int size) override;
  uint32_t disassemble_line(uint32_t address, std::string& line) override;

  // Plants a debugger breakpoint as a plain (not temporary) simulator entry.
  // Several debugger records at one address share one entry, counted here;
  // an entry the simulator window had there before is borrowed and given back
  // in its former state. Returns the entry's index, or -1 when the simulator's
  // table is full (nothing planted).
  int target_set_breakpoint(uint32_t address);
  // Drops one reference; the last one removes the entry (or gives it back).
  void target_clear_breakpoint(uint32_t address, int handle);
  // Every debugger breakpoint leaves the simulator; the window's own stay.
  void target_clear_all_breakpoints();
  // The addresses whose entry someone else removed meanwhile (the simulator
  // window's Clear All, a new load); they are forgotten here.
  std::vector<uint32_t> target_forget_lost();
  // References per planted address.
  std::map<uint32_t, int> target_planted() const;
  // Entries the simulator's breakpoint table has free.
  size_t target_free_breakpoints() const;
  // Whether the simulator window has an entry of its own at the address
  // that stops a run (one the debugger borrowed).
  bool target_window_stops_at(uint32_t address) const;

  void target_step();
  // Whether the last step took an interrupt in place of the instruction at
  // the PC (and did not stop the simulator, as Break on IRQ would).
  bool target_step_took_interrupt() const;
  // Runs the routine of that interrupt without display until it has
  // returned (S back at `s_before` or above), at most `limit` instructions,
  // counted in `ran`. Where a breakpoint stands, `stops_at`(address) is
  // asked; true ends the run there. True when the routine returned.
  bool target_serve_interrupt(uint32_t s_before, uint64_t limit, uint64_t& ran,
                              const std::function<bool(uint32_t)>& stops_at);
  // Whether the CPU is serving an interrupt.
  bool target_in_service() const;
  void target_run();
  void target_stop();
  void target_reset();
  bool target_is_running();
  // 1 when the load file was loaded into the simulator.
  int target_load(const std::string& path);
  int target_reload();
  void target_close();
  bool is_call_at(uint32_t address);
  bool is_return_at(uint32_t address);

  Engine& engine() { return engine_; }

private:
  // A Bus over the board's peek, for the disassembler.
  class PeekBus : public Bus {
  public:
    explicit PeekBus(const Board& board) : board_(board) {}
    int board_read(uint32_t addr, uint8_t& out) override;
    int board_write(uint32_t, uint8_t) override { return 1; }

  private:
    const Board& board_;
  };
  struct Planted {
    int references = 0;
    bool borrowed = false;  // the simulator window's own entry
    BpState former = BpState::Disabled;
  };
  void give_back(uint32_t address, const Planted& p);

  Engine& engine_;
  SldHost& host_;
  uint32_t kind_ = 0;
  std::string load_path_;
  int step_stops_ = 0;  // the engine's stop count before the last step
  std::map<uint32_t, Planted> planted_;
  PeekBus peek_bus_;
  Cpu peek_cpu_;
};

}  // namespace zun::sld
