// Quiet runs: many undisplayed steps in one loop. A step whose devices need
// nothing but time (Board::devices_quiet) is the instruction with the cycle
// counter advanced; any other step is a whole sim_step_once. Both leave the
// board exactly as single steps would.
#pragma once
#include "debugger/engine/engine.h"

namespace zun {

template <class Watch>
uint64_t Engine::run_quiet(uint64_t limit, Watch&& watch) {
  if (breakpoints.empty()) return quiet_steps<false>(limit, watch);
  return quiet_steps<true>(limit, watch);
}

template <bool watch_breakpoints, class Watch>
uint64_t Engine::quiet_steps(uint64_t limit, Watch& watch) {
  const int stops = stop_count;
  uint64_t done = 0;
  bool ran_quiet = false;
  while (done < limit) {
    if (watch_breakpoints && done > 0 && breakpoints.marked(cpu.pc)) break;
    const StepResult r = sim_step_once(false);
    ++done;
    if (stop_count != stops || r.undefined) break;
    if ((r.interrupt || r.transfers) && watch(r)) break;
    if (done == limit || !quiet_ahead()) continue;
    ran_quiet = true;
    const QuietEnd end = quiet_instructions<watch_breakpoints>(limit - done, watch);
    done += end.steps;
    if (end.run_over) break;
  }
  if (ran_quiet && visual) host.repaint();
  board.end_quiet_steps();
  cpu.cycle_counter = board.cycle_counter;
  return done;
}

// Instructions while the devices stay quiet, at most `limit`; the last is
// last_step. The run is over after one that the watch ends it with or that
// is undefined.
template <bool watch_breakpoints, class Watch>
Engine::QuietEnd Engine::quiet_instructions(uint64_t limit, Watch& watch) {
  const uint32_t cycles = board.step_cycles();
  StepResult& r = last_step;
  r = StepResult{};
  r.executed = true;
  for (uint64_t n = 0;;) {
    if (n == limit || (watch_breakpoints && breakpoints.marked(cpu.pc))) return {n, false};
    const bool timer_counted = !board.quiet_pre_step(cycles);
    r.address = cpu.pc;
    r.length = cpu_execute(cpu, r.address, true, r.transfers);
    byte_total += static_cast<uint32_t>(r.length);
    ++n;
    if (cpu.undefined) {
      r.undefined = true;
      cpu.undefined = false;
      return {n, true};
    }
    if (r.transfers && watch(r)) return {n, true};
    if (board.decoded_access) {
      board.device_post_step();
      return {n, false};
    }
    if (timer_counted || cpu.waiting) return {n, false};
  }
}

}  // namespace zun
