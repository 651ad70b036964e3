// The engine's window commands: resets, run, stop, step, the user's interrupt
// requests, load and reload, and the timer tick that keeps a run going.
#include "debugger/engine/engine.h"
#include "debugger/engine/quiet_run.h"

namespace zun {

namespace {
constexpr uint64_t fast_steps_per_tick = 500;
}

Engine::Engine(Board& board_, EngineHost& host_, std::string bin_dir_)
    : board(board_), host(host_), cpu(board_, this), bin_dir(std::move(bin_dir_)) {
  board.load_device_types();
}

int Engine::command(int id) {
  if (id >= SIM_REQUEST_IRQ_FIRST && id <= SIM_REQUEST_IRQ_LAST) {
    request_interrupt(id - SIM_REQUEST_IRQ_FIRST + 1);
    return 1;
  }
  switch (id) {
  case SIM_RESET: reset_simulator(); break;
  case SIM_RESET_CPU: reset_cpu(); break;
  case SIM_RUN: run_slow(); break;
  case SIM_RUN_FAST: run_fast(); break;
  case SIM_STOP: stop(); break;
  case SIM_STEP: step(); break;
  case SIM_REFRESH: host.repaint(); break;
  case SIM_CLEAR_BYTES: byte_total = 0; break;
  case SIM_TOGGLE_ROM_WRITABLE: board.rom_writable = !board.rom_writable; break;
  case SIM_TOGGLE_EXCEPTIONS: exceptions_enabled = !exceptions_enabled; break;
  case SIM_LOAD: return load();
  case SIM_RELOAD: return reload();
  case SIM_AFTER_LOAD: return after_load();
  case SIM_SETUP: setup_done(); break;
  default: break;
  }
  return 1;
}

void Engine::sim_reset_state(bool clear_breakpoints) {
  run_mode = board.run_mode = RunMode::Stopped;
  leaving.reset();
  exceptions_enabled = true;
  byte_total = 0;
  cpu.waiting = false;
  in_service.fill(false);
  user_requests.fill(false);
  if (clear_breakpoints) {
    breakpoints.clear_all();
    board.stop_on_device_access = false;
    break_on_irq = false;
  }
  cpu_reset(cpu, false);
  host.run_mode_changed();
}

void Engine::reset_simulator() {
  sim_reset_state(false);
  if (visual) {
    cpu.pc = static_cast<uint16_t>(entry_address);
    host.repaint();
  }
  notify();
}

void Engine::reset_cpu() {
  cpu_reset(cpu, true);
  host.repaint();
  notify();
}

void Engine::start_running(RunMode mode) {
  int stops = stop_count;
  const uint16_t start = cpu.pc;
  sim_step_once(true);
  // A step that stopped (Break on IRQ, Break on IO, an interrupt refused)
  // does not start the run.
  if (stop_count != stops) return;
  // An interrupt taken in place of the first instruction: the run serves it
  // and still leaves the breakpoint it started on.
  if (last_step.interrupt && breakpoints.exists(start)) leaving = start;
  run_mode = board.run_mode = mode;
  host.run_mode_changed();
}

void Engine::run_slow() { start_running(RunMode::Slow); }

void Engine::run_fast() {
  start_running(RunMode::Fast);
  notify();
}

void Engine::stop() {
  ++stop_count;
  leaving.reset();
  run_mode = board.run_mode = RunMode::Stopped;
  host.run_mode_changed();
  host.repaint();
  current_mark = cpu.pc;
  notify();
}

void Engine::step() {
  busy = true;
  sim_step_once(true);
  busy = false;
  notify();
}

void Engine::request_interrupt(int kind) {
  if (kind >= 1 && kind <= 7) user_requests[kind] = true;
}

uint64_t Engine::sim_timer_tick(uint64_t steps) {
  if (steps == 0) steps = fast_steps_per_tick;
  uint64_t fast_steps = 0;
  while (run_mode != RunMode::Stopped) {
    if (leaving && cpu.pc == *leaving) {
      sim_step_once(run_mode == RunMode::Slow);
      if (last_step.executed) leaving.reset();
      if (run_mode == RunMode::Slow || ++fast_steps == steps) return run_mode == RunMode::Slow ? 1 : fast_steps;
      continue;
    }
    if (sim_bp_hit(cpu.pc, true) && !(debugger_passes_breakpoint && debugger_passes_breakpoint())) {
      stopped_at_breakpoint = true;
      stop();
      return fast_steps;
    }
    if (run_mode == RunMode::Slow) {
      sim_step_once(true);
      return 1;
    }
    // This step, and as many more of the tick's as run before a possible
    // breakpoint.
    fast_steps += run_quiet(steps - fast_steps, [](const StepResult&) { return false; });
    if (fast_steps == steps) return fast_steps;
  }
  return fast_steps;
}

void Engine::goto_here(uint32_t address) {
  breakpoints.set(address, true);
  run_fast();
}

void Engine::clear_all_breaks() {
  breakpoints.clear_all();
  board.stop_on_device_access = false;
  break_on_irq = false;
}

int Engine::load() {
  board.board_clear_memory();
  load_default_target();
  if (!reload()) return 0;
  sim_reset_state(true);
  cpu.pc = static_cast<uint16_t>(entry_address);
  return after_load();
}

int Engine::reload() {
  LoadResult r = load_srecords(load_file);
  report_load_fault(load_file, r);
  if (r.code == 2) {
    host.error_box("Failed to load:\r\n'" + load_file + "'\r\nYou should check simulator setup");
    return 0;
  }
  return after_load();
}

int Engine::after_load() {
  if (visual) {
    if (!board.is_loadable(cpu.pc)) cpu.pc = static_cast<uint16_t>(entry_address);
    host.repaint();
  }
  return 1;
}

void Engine::setup_done() {
  if (load_file.empty()) return;
  load_srecords_reporting(load_file);
  host.repaint();
}

}  // namespace zun
