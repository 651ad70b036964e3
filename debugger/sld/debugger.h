// The source-level debugger without its windows: one session over the
// simulator engine, with the program model, the target access, the
// breakpoints, the watches and the run control (Next, Step Into, Step Out,
// Run, Run No Breaks, Restart). Every step is an engine command; the engine's
// stop notification lands in sld_on_stop, which locates the PC in the model.
// The windows call the operations below and redraw in SldHost's callbacks.
#pragma once
#include "debugger/sld/breakpoints.h"
#include "debugger/sld/sld.h"
#include "debugger/sld/target.h"
#include "debugger/sld/watch.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zun::sld {

// Run-control modes.
enum RunCommand : int {
  RUN_NEXT = 0,
  RUN_STEP_INTO = 1,
  RUN_GO = 2,
  RUN_STEP_OUT = 3,
  RUN_NO_BREAKS = 4,
};

// Commands of the debugger window.
enum SldCommandId : int {
  CMD_SLD_NEXT = 43131,
  CMD_SLD_STEP_INTO = 43132,
  CMD_SLD_STEP_OUT = 43133,
  CMD_SLD_RESTART = 43137,
  CMD_SLD_RUN = 43138,
  CMD_SLD_CLOSE = 43139,
  CMD_SLD_WATCH_REFRESH = 43140,
  CMD_SLD_WATCH_GLOBALS = 43141,
  CMD_SLD_BREAKPOINTS = 43143,
  CMD_SLD_RUN_NO_BREAKS = 43144,
  CMD_SLD_BREAK = 43147,
};

// What the "Supply Code Information" dialog edits (machine level).
struct SupplyCodeInfo {
  uint32_t code_low = 0, code_high = 0, entry = 0;
};
// The dialog's fields "Code LOW limit", "Code HIGH limit", "Entry" as it
// opens them.
std::array<std::string, 3> supply_code_texts(const SupplyCodeInfo& info);
// OK: each field, without a leading "0x", read as hexadecimal. Empty when all
// were taken (then `info` holds them), else the text of the error box; the
// dialog stays open.
std::string supply_code_accept(const std::array<std::string, 3>& fields, SupplyCodeInfo& info);

// The host of a debugging session adds the machine-level dialog to SldHost.
class SldSessionHost : public SldHost {
public:
  // Shows the "Supply Code Information" dialog over `info`; true for OK.
  virtual bool supply_code_information(SupplyCodeInfo& info) { return false; }
};

class SldDebugger {
public:
  // Single steps that locating a lost PC may make before it gives up.
  static constexpr int kLocateStepLimit = 10000;
  // Instructions of interrupt routines that the steps of one command may
  // serve (an interrupt that comes again before its routine returns, a
  // routine that never does).
  static constexpr uint64_t kServiceLimit = 1000000;

  SldDebugger(Engine& engine, SldSessionHost& host, std::string bin_dir);
  ~SldDebugger();
  SldDebugger(const SldDebugger&) = delete;
  SldDebugger& operator=(const SldDebugger&) = delete;

  Sld& model() { return model_; }
  TargetAccess& target() { return target_; }
  SldBreakpoints& breakpoints() { return breakpoints_; }
  SldWatches& watches() { return watches_; }

  // ---- the session ----
  // Reads the debug records of the load file for a target kind; 1 on success.
  int sld_load_debug_info(const std::string& load_file, uint32_t kind);
  // Loads the program into the simulator and stands at its entry.
  int sld_open_session(const std::string& load_file);
  void sld_close_session();
  bool sld_session_open() const { return session_; }
  // Start Debugging after the windows exist: the debug records, the session,
  // the kept watches and the first refresh. 1 on success.
  int sld_start_debugging(const std::string& load_file, uint32_t kind = kSourceLevelKind);
  int sld_session_start();
  void sld_start_breakpoints();
  // The restart after the question "Restart Debugged Program?".
  void sld_restart();

  // ---- run control ----
  int sld_locate_pc(bool step_if_lost);
  void sld_on_stop();
  void sld_run_command(int mode);
  // The debugger window's commands 43131-43147; 1 for every id of the range.
  int sld_command(int id);
  bool sld_command_enabled(int id);
  // The model's part of the refresh after every stop, then the windows'.
  void sld_refresh();
  // "Debug: 'file'" in the source view, "(Dissassembly)" otherwise.
  std::string sld_title() const;
  const SupplyCodeInfo& supply_code_info() const { return supply_; }

private:
  bool step_instruction();
  void single_step(uint32_t address, bool rearm);
  void run_from(uint32_t address, int mode);
  void step_logic(int mode);
  void step_assembler(int mode);
  void step_without_lines(int mode);
  void show_pc_without_line();
  void step_out_assembler();
  uint32_t s_at_return(uint32_t pc);
  void step_c(int mode);
  void plant_entries(uint32_t pc, const DebugFunction& f);
  bool locate_once(uint32_t pc);
  void locate_exact(DebugModule& m, const ExecPoint& p);
  void locate_inside(DebugModule& m, uint32_t pc);
  std::optional<uint32_t> frame_reference();
  bool passes_breakpoint();

  Engine& engine_;
  SldSessionHost& host_;
  TargetAccess target_;
  Sld model_;
  SldBreakpoints breakpoints_;
  SldWatches watches_;
  SupplyCodeInfo supply_;
  bool session_ = false;
  bool in_command_ = false;  // the step logic of a run command is under way
  // The frame of the call the running command started in (frame_reference):
  // its BP_IN_FRAME temporaries count only with S at or above it (the stack
  // grows down).
  std::optional<uint32_t> frame_s_;
  // The running command started outside any interrupt's service: within a
  // service begun since, its temporaries do not stop (an interrupt served
  // on the way is no part of the step).
  bool outside_service_ = false;
  // What is left of the command's kServiceLimit.
  uint64_t service_budget_ = kServiceLimit;
};

}  // namespace zun::sld
