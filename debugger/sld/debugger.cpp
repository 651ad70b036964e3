// Run control of the source-level debugger: the session, locating the PC in
// the program model after every stop, and the step logic of Next, Step Into,
// Step Out, Run and Run No Breaks for C and assembler modules. Every stepping
// command is made of two primitives: one instruction step, and a run that
// ends at a planted breakpoint.
#include "debugger/sld/debugger.h"

#include "common/format.h"
#include "common/number.h"

#include <algorithm>
#include <set>

namespace zun::sld {

// ---- the "Supply Code Information" dialog ----

std::array<std::string, 3> supply_code_texts(const SupplyCodeInfo& info) {
  return {format("0x%X", info.code_low), format("0x%X", info.code_high), format("0x%X", info.entry)};
}

std::string supply_code_accept(const std::array<std::string, 3>& fields, SupplyCodeInfo& info) {
  std::array<uint32_t, 3> values{};
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string text = fields[i].substr(0, 63);
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.erase(0, 2);
    bool ok = !text.empty();
    for (char c : text) ok = ok && hex_digit(c) >= 0;
    if (!ok || parse_number(text.c_str(), values[i], 16) != 0)
      return format("Illegal hexadecimal value '%s'", text.c_str());
  }
  info.code_low = values[0];
  info.code_high = values[1];
  info.entry = values[2];
  return {};
}

// ---- the session ----

SldDebugger::SldDebugger(Engine& engine, SldSessionHost& host, std::string bin_dir)
    : engine_(engine),
      host_(host),
      target_(engine, host),
      model_(host, std::move(bin_dir), &target_),
      breakpoints_(model_, target_, host),
      watches_(model_, target_, host) {
  engine_.debugger_on_stop = [this] { sld_on_stop(); };
  engine_.debugger_passes_breakpoint = [this] { return passes_breakpoint(); };
}

SldDebugger::~SldDebugger() {
  engine_.debugger_on_stop = nullptr;
  engine_.debugger_passes_breakpoint = nullptr;
}

int SldDebugger::sld_load_debug_info(const std::string& load_file, uint32_t kind) {
  if (load_file.empty() || !target_.target_set_kind(kind)) return 0;
  host_.status_text("Reading Debug Info");
  int result = model_.sld_read_debug_info(load_file);
  host_.status_text("");
  if (result != 1) return 0;
  target_.target_reset();
  return 1;
}

int SldDebugger::sld_open_session(const std::string& load_file) {
  session_ = true;
  if (!target_.target_load(load_file)) {
    target_.target_close();
    session_ = false;
    return 0;
  }
  host_.status_text("");
  // The breakpoints of an earlier session at "_main" and "__lowexit" go: a
  // rebuilt program has them elsewhere.
  breakpoints_.sld_bp_session_reset();
  sld_start_breakpoints();
  breakpoints_.sld_bp_session_open();
  return 1;
}

void SldDebugger::sld_close_session() {
  if (!session_) return;
  session_ = false;
  target_.target_stop();
  breakpoints_.sld_bp_session_close();
  host_.clear_debug_markers();
  watches_.watch_session_end();
  model_.sld_modules_free();
  target_.target_close();
  host_.status_text("");
}

int SldDebugger::sld_start_debugging(const std::string& load_file, uint32_t kind) {
  if (!sld_load_debug_info(load_file, kind)) return 0;
  if (!sld_open_session(load_file)) {
    sld_close_session();
    host_.out_print("Failed to open debugger due to Target Load Error\n");
    return 0;
  }
  watches_.watch_restore();
  sld_refresh();
  return 1;
}

int SldDebugger::sld_session_start() {
  DebugModule* entry_module = model_.entry_module();
  model_.set_exec_module(entry_module);
  model_.sld_show_module(entry_module);
  model_.sld_show_file(entry_module);
  breakpoints_.sld_bp_session_reset();
  sld_start_breakpoints();
  if (model_.entry()) {
    model_.sld_set_exec_point(model_.entry());
    watches_.watch_restore();
    return 1;
  }
  if (host_.supply_code_information(supply_)) {
    target_.target_set_pc(supply_.entry);
    sld_refresh();
  } else {
    host_.post_command(CMD_SLD_CLOSE);
  }
  return 0;
}

void SldDebugger::sld_start_breakpoints() {
  model_.sld_set_exec_point(nullptr);
  if (!host_.project_loaded()) breakpoints_.bp_clear_all();
  if (!model_.sld_exec_module()) return;
  const ExecPoint* entry = model_.entry();
  if (entry) {
    bool have_main = false, have_exit = false;
    for (const auto& m : model_.modules()) {
      for (const DebugFunction& f : m->functions) {
        if (!f.entry_point) continue;
        if (!have_main && f.name == "_main") {
          host_.out_print("Setting break at '_main'\n");
          breakpoints_.sld_bp_add_session(m.get(), f.entry_point->line, f.entry_point->address,
                                          BP_START);
          have_main = true;
        } else if (!have_exit && f.name == "__lowexit") {
          host_.out_print("Setting break at '__lowexit'\n");
          breakpoints_.sld_bp_add_session(m.get(), f.entry_point->line, f.entry_point->address,
                                          BP_EXIT);
          have_exit = true;
        }
        if (have_main && have_exit) break;
      }
      if (have_main && have_exit) break;
    }
  }
  target_.target_reset();
  model_.set_exec_module(model_.entry_module());
  model_.sld_show_module(model_.entry_module());
  if (entry) {
    model_.sld_set_exec_point(entry);
    target_.target_set_pc(entry->address);
    model_.sld_in_code(entry->address);
  } else {
    target_.target_set_pc(0);
    watches_.watch_refresh_autos();
  }
}

void SldDebugger::sld_restart() {
  target_.target_stop();
  target_.target_reset();
  target_.target_reload();
  sld_session_start();
  sld_on_stop();
}

// ---- locating the PC ----

void SldDebugger::locate_exact(DebugModule& m, const ExecPoint& p) {
  model_.set_exec_module(&m);
  model_.sld_show_file(&m);
  model_.sld_set_exec_point(&p);
}

void SldDebugger::locate_inside(DebugModule& m, uint32_t pc) {
  model_.set_exec_module(&m);
  model_.sld_show_file(&m);
  const ExecPoint* found = nullptr;
  for (size_t i = 0; i < m.points.size() && !found; ++i) {
    const ExecPoint& p = m.points[i];
    if (p.address == pc ||
        (p.address < pc && i + 1 < m.points.size() && m.points[i + 1].address > pc))
      found = &p;
  }
  if (!found) {
    // Past the last point (or among points out of order): the first point at
    // the highest address below the PC.
    for (const ExecPoint& p : m.points)
      if (p.address < pc && (!found || p.address > found->address)) found = &p;
  }
  model_.sld_set_exec_point(found);
}

bool SldDebugger::locate_once(uint32_t pc) {
  for (const auto& m : model_.modules()) {
    for (const ExecPoint& p : m->points) {
      if (p.address == pc) {
        locate_exact(*m, p);
        return true;
      }
    }
  }
  for (const auto& m : model_.modules()) {
    for (const DebugFunction& f : m->functions) {
      if (f.start_address < pc && pc < f.end_address) {
        locate_inside(*m, pc);
        return true;
      }
    }
  }
  return false;
}

// Without an execution module (the PC was in code without lines) the
// search goes on all the same: the program comes back into its code.
int SldDebugger::sld_locate_pc(bool step_if_lost) {
  for (int steps = 0;; ++steps) {
    uint32_t pc = target_.target_get_pc();
    if (model_.modules().empty() || !model_.sld_in_code(pc)) return 0;
    if (locate_once(pc)) return 1;
    if (!step_if_lost) return 0;
    if (steps == kLocateStepLimit) {
      host_.out_print(format("No source line found within %d instructions from 0x%04X\n",
                             kLocateStepLimit, pc));
      return 0;
    }
    single_step(pc, true);
  }
}

// What a BP_IN_FRAME temporary compares S with: in C code the frame base
// of the function at the PC (a stop at its statement points has S there,
// wherever in the line the command started); in assembler code S. None when
// the code does not tell: then every call stops there.
std::optional<uint32_t> SldDebugger::frame_reference() {
  const DebugModule* m = model_.sld_exec_module();
  if (m && m->language == 'A') return target_.target_get_sp();
  return model_.sld_frame_base(m);
}

// A command's run reached a temporary that counts only in the call the
// command started in, but S says a deeper call (recursion) reached it; or
// it reached only temporaries inside the service of an interrupt taken
// since the command started, which is no part of the step. The run goes
// on past it with no stop, so nothing of the windows is redrawn for it.
bool SldDebugger::passes_breakpoint() {
  if (!session_) return false;
  uint32_t pc = target_.target_get_pc();
  if (frame_s_ && target_.target_get_sp() < *frame_s_ && breakpoints_.sld_bp_in_frame_only_at(pc))
    return true;
  return outside_service_ && target_.target_in_service() && breakpoints_.sld_bp_targets_only_at(pc);
}

// A stop where no line holds the PC (a reset took it into the monitor, a
// run was broken off outside the program) shows the disassembly at the PC,
// not the line where the program stood before.
void SldDebugger::show_pc_without_line() {
  model_.set_exec_module(nullptr);
  model_.sld_show_module(nullptr);
}

void SldDebugger::sld_on_stop() {
  if (!session_) return;
  if (!sld_locate_pc(false) && !target_.target_is_running() && !in_command_) show_pc_without_line();
  // Stops in the middle of a command (its single steps) leave its
  // breakpoints planted; the stop that ends it takes its temporaries out.
  if (!target_.target_is_running() && !in_command_) {
    breakpoints_.sld_bp_disarm_targets();
    frame_s_.reset();
    outside_service_ = false;
    host_.status_text("");
  }
  sld_refresh();
}

void SldDebugger::sld_refresh() {
  breakpoints_.sld_bp_restore_enabled();
  model_.sld_show_module(nullptr);
  watches_.watch_refresh_autos();
  watches_.watch_refresh();
  host_.debugger_refresh();
}

// ---- the two primitives ----

// One instruction of the program at the PC. Where the CPU takes an interrupt
// in its place, the interrupt's routine is served to its return first (a
// breakpoint there stops it, unless only temporaries of the command stand
// there) and the step is made again, however often an interrupt comes.
// False when the step ended inside a routine: at a breakpoint, or when the
// command's service budget ran out (after that, steps enter the routines).
bool SldDebugger::step_instruction() {
  for (;;) {
    uint32_t s = target_.target_get_sp();
    target_.target_step();
    if (!target_.target_step_took_interrupt() || service_budget_ == 0) return true;
    uint64_t ran = 0;
    bool returned = target_.target_serve_interrupt(
        s, service_budget_, ran,
        [this](uint32_t pc) { return !breakpoints_.sld_bp_targets_only_at(pc); });
    service_budget_ -= std::min(ran, service_budget_);
    if (returned) continue;
    if (service_budget_ == 0)
      host_.out_print(format("Interrupts were served for %llu instructions and the step did not get on\n",
                             static_cast<unsigned long long>(kServiceLimit)));
    return false;
  }
}

void SldDebugger::single_step(uint32_t address, bool rearm) {
  SldBreakpoint* hit = breakpoints_.sld_bp_hit(address);
  step_instruction();
  if (hit && rearm) breakpoints_.sld_bp_rearm(address);
}

void SldDebugger::run_from(uint32_t address, int mode) {
  host_.clear_debug_markers();
  if (!breakpoints_.sld_bp_hit(address)) {
    target_.target_run();
    return;
  }
  bool stepped = step_instruction();
  if (mode != RUN_NO_BREAKS) breakpoints_.sld_bp_rearm(address);
  if (!stepped) return;  // stopped inside an interrupt's routine
  uint32_t pc = target_.target_get_pc();
  if (breakpoints_.sld_bp_planted_at(pc)) {
    // A run would step over it before it looks at any breakpoint.
    breakpoints_.sld_bp_rearm(pc);
    return;
  }
  target_.target_run();
}

// ---- the step logic ----

void SldDebugger::sld_run_command(int mode) {
  host_.status_text("Target Busy");
  service_budget_ = kServiceLimit;
  in_command_ = true;
  step_logic(mode);
  in_command_ = false;
  bool stepping = mode == RUN_NEXT || mode == RUN_STEP_INTO || mode == RUN_STEP_OUT;
  if (stepping && !target_.target_is_running()) {
    in_command_ = true;
    bool located = sld_locate_pc(true);
    in_command_ = false;
    if (!located) {
      // The command is over: the window shows the disassembly at the PC
      // and every command can be given again.
      breakpoints_.sld_bp_disarm_targets();
      show_pc_without_line();
      host_.status_text("");
      sld_refresh();
      return;
    }
    host_.status_text("");
  }
  sld_on_stop();
}

void SldDebugger::step_logic(int mode) {
  breakpoints_.sld_bp_unwant_targets();
  frame_s_.reset();
  outside_service_ = false;
  const DebugModule* m = model_.sld_exec_module();
  uint32_t pc = target_.target_get_pc();
  if (!m || !m->has_source) {
    step_without_lines(mode);
    return;
  }
  if (!sld_locate_pc(false)) {
    single_step(pc, true);
    return;
  }
  frame_s_ = frame_reference();
  outside_service_ = !target_.target_in_service();
  if (model_.sld_exec_module()->language == 'A')
    step_assembler(mode);
  else
    step_c(mode);
}

void SldDebugger::step_assembler(int mode) {
  uint32_t pc = target_.target_get_pc();
  const DebugModule& m = *model_.sld_exec_module();
  switch (mode) {
    case RUN_GO:
    case RUN_NO_BREAKS:
      host_.out_print("Run.\n");
      if (mode == RUN_GO && !breakpoints_.sld_bp_plant_all()) return;
      run_from(pc, mode);
      return;
    case RUN_STEP_INTO:
      single_step(pc, true);
      return;
    case RUN_NEXT: {
      const ExecPoint* current = model_.sld_exec_point();
      const ExecPoint* next = nullptr;
      for (size_t i = 0; current && i + 1 < m.points.size(); ++i)
        if (&m.points[i] == current) next = &m.points[i + 1];
      if (current && next && target_.is_call_at(current->address)) {
        breakpoints_.sld_bp_add_temporary(&m, next->line, next->number2, next->address, true);
        if (!breakpoints_.sld_bp_plant_all()) return;
        run_from(current->address, mode);
      } else {
        single_step(pc, true);
      }
      return;
    }
    case RUN_STEP_OUT:
      step_out_assembler();
      return;
    default:
      return;
  }
}

// Code without lines (the disassembly): by instructions, as in an
// assembler module; Run plants the breakpoints as anywhere else.
void SldDebugger::step_without_lines(int mode) {
  uint32_t pc = target_.target_get_pc();
  switch (mode) {
    case RUN_STEP_INTO:
      single_step(pc, true);
      return;
    case RUN_NEXT: {
      std::string text;
      uint32_t next = target_.disassemble_line(pc, text);
      if (!target_.is_call_at(pc)) {
        single_step(pc, true);
        return;
      }
      breakpoints_.sld_bp_add_temporary(nullptr, 0, kAnyNumber2, next, true);
      if (!breakpoints_.sld_bp_plant_all()) return;
      run_from(pc, mode);
      return;
    }
    case RUN_STEP_OUT:
      step_out_assembler();
      return;
    case RUN_GO:
      if (!breakpoints_.sld_bp_plant_all()) return;
      run_from(pc, mode);
      return;
    case RUN_NO_BREAKS:
      host_.clear_debug_markers();
      target_.target_run();
      return;
    default:
      return;
  }
}

void SldDebugger::step_out_assembler() {
  uint32_t pc = target_.target_get_pc();
  if (target_.is_return_at(pc)) {
    single_step(pc, true);
    return;
  }
  uint32_t start_s = target_.target_get_sp();
  int backward = 0;
  for (;;) {
    pc = target_.target_get_pc();
    uint32_t remembered = target_.is_call_at(pc) ? 0 : pc;
    single_step(pc, true);
    uint32_t now = target_.target_get_pc();
    if (now == remembered) return;
    if (target_.is_return_at(now) && s_at_return(now) >= start_s) return;
    if (now < pc && ++backward > 100) {
      host_.error_box("Difficult to step out, this looks like a loop", "");
      return;
    }
  }
}

// Step Into stops wherever the line's code enters code with debug records:
// at the entry of every function, and at every point of the assembler
// modules, whose routines need no function records of their own (the first
// one reached is the called routine's first line). Where the simulator's
// table has no room for them all, at the points that function `f` calls.
void SldDebugger::plant_entries(uint32_t pc, const DebugFunction& f) {
  size_t wanted = 0;
  for (const auto& m : model_.modules()) wanted += m->functions.size() + m->points.size();
  const bool all = wanted <= target_.target_free_breakpoints();
  std::set<uint32_t> called;
  if (!all)
    for (uint32_t a : direct_calls(target_, f)) called.insert(a);
  for (const auto& other : model_.modules()) {
    for (const DebugFunction& g : other->functions) {
      if (!g.entry_point) break;
      if (g.start_address != pc)
        breakpoints_.sld_bp_add_temporary(other.get(), g.entry_point->line, g.entry_point->number2,
                                          g.entry_point->address);
    }
    if (other->language != 'A') continue;
    for (const ExecPoint& p : other->points)
      if (p.address != pc && (all || called.count(p.address)))
        breakpoints_.sld_bp_add_temporary(other.get(), p.line, p.number2, p.address);
  }
}

// S as the return instruction at `pc` finds its return address: a PULS
// pulls its other registers first.
uint32_t SldDebugger::s_at_return(uint32_t pc) {
  uint32_t s = target_.target_get_sp();
  if (target_.target_read(pc, 1) != 0x35) return s;
  return s + static_cast<uint32_t>(stacked_bytes(target_.target_read(pc + 1, 1) & 0x7F));
}

void SldDebugger::step_c(int mode) {
  uint32_t pc = target_.target_get_pc();
  DebugModule& m = *model_.sld_exec_module();
  if (mode == RUN_GO || mode == RUN_NO_BREAKS) {
    if (mode == RUN_NO_BREAKS) breakpoints_.sld_bp_suspend_all();
    if (!breakpoints_.sld_bp_plant_all()) return;
    run_from(pc, mode);
    return;
  }
  const DebugFunction* f = nullptr;
  for (const DebugFunction& g : m.functions) {
    if (g.start_address <= pc && pc < g.end_address) {
      f = &g;
      break;
    }
  }
  if (!f) {
    host_.out_print("Can't determine scope.\n");
    return;
  }
  uint32_t entry = f->entry_point ? f->entry_point->address : f->start_address;
  uint32_t exit = f->exit_point ? f->exit_point->address : f->exit_address;
  if (pc == exit && !target_.is_return_at(pc)) {
    for (int i = 0; i < 10 && !target_.is_return_at(pc); ++i) {
      single_step(pc, true);
      pc = target_.target_get_pc();
    }
  }
  if (target_.is_return_at(pc)) {
    single_step(pc, true);
    for (int i = 0; i < 10 && !sld_locate_pc(false); ++i) single_step(target_.target_get_pc(), true);
    return;
  }
  const ExecPoint* current = model_.sld_exec_point();
  if (mode == RUN_STEP_INTO) plant_entries(pc, *f);
  // The points of this function and its exit count only in this call: a
  // recursive call passes them by.
  if (mode == RUN_NEXT || mode == RUN_STEP_INTO) {
    for (const ExecPoint& p : m.points) {
      if (p.address <= entry || p.address >= exit || p.address == pc) continue;
      if (mode == RUN_NEXT && current && p.line == current->line) continue;
      breakpoints_.sld_bp_add_temporary(&m, p.line, p.number2, p.address, true);
    }
  }
  breakpoints_.sld_bp_add_temporary(&m, f->end_line, kAnyNumber2, exit, true);
  if (!breakpoints_.sld_bp_plant_all()) return;
  run_from(pc, mode);
}

// ---- the window's commands ----

int SldDebugger::sld_command(int id) {
  switch (id) {
    case CMD_SLD_NEXT: sld_run_command(RUN_NEXT); break;
    case CMD_SLD_STEP_INTO: sld_run_command(RUN_STEP_INTO); break;
    case CMD_SLD_STEP_OUT: sld_run_command(RUN_STEP_OUT); break;
    case CMD_SLD_RESTART:
      if (host_.ask_yes_no("Restart Debugged Program?")) sld_restart();
      break;
    case CMD_SLD_RUN: sld_run_command(RUN_GO); break;
    case CMD_SLD_WATCH_REFRESH: watches_.watch_refresh_autos(); break;
    case CMD_SLD_RUN_NO_BREAKS: sld_run_command(RUN_NO_BREAKS); break;
    case CMD_SLD_BREAK: sld_refresh(); break;
    default: break;
  }
  return 1;
}

bool SldDebugger::sld_command_enabled(int id) {
  switch (id) {
    case CMD_SLD_NEXT:
    case CMD_SLD_STEP_INTO:
    case CMD_SLD_STEP_OUT:
    case CMD_SLD_RUN_NO_BREAKS:
    case CMD_SLD_RUN:
    case CMD_SLD_BREAKPOINTS:
    case CMD_SLD_RESTART:
      break;
    default:
      return true;
  }
  if (target_.target_is_running()) return false;
  if (model_.modules().empty()) return id == CMD_SLD_STEP_INTO || id == CMD_SLD_RESTART;
  return true;
}

std::string SldDebugger::sld_title() const {
  if (model_.sld_is_disassembly_view()) return "(Dissassembly)";
  const DebugModule* shown = model_.sld_shown_module();
  return format("Debug: '%s'",
                shown ? shown->file_name.c_str() : model_.sld_shown_file_name().c_str());
}

}  // namespace zun::sld
