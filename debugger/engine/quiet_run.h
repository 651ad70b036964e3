// Quiet runs: many undisplayed steps in one loop. A step whose devices need
// nothing but time (Board::devices_quiet) is the instruction with the cycle
// counter advanced; any other step is a whole sim_step_once. Both leave the
// board exactly as single steps would.
#pragma once
#include "debugger/engine/engine.h"

#include <utility>

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
    // Whatever comes next may stop the run and show the board: the timer
    // and the CPU's cycle counter catch up first.
    board.update_timer();
    cpu.cycle_counter = board.cycle_counter;
    if (end.how == QuietEnd::run_over) break;
    if (end.how == QuietEnd::finish_step) {
      // The instruction reached a device, which may have given a chip
      // something to send, or was undefined.
      board.device_post_step();
      if (std::exchange(cpu.undefined, false)) {
        last_step.undefined = true;
        break;
      }
      if (last_step.transfers && watch(last_step)) break;
    }
  }
  if (ran_quiet && visual) host.repaint();
  return done;
}

// Instructions while the devices stay quiet, at most `limit`; the last is
// last_step. They end before a possible breakpoint; after an instruction
// that counted the timer, waits after CWAI or ends the run by the watch; and
// before the end of one that reached past the bus's pages or was undefined,
// which the caller finishes. Kept out of line, so that the loop has the
// registers to itself.
template <bool watch_breakpoints, class Watch>
[[gnu::noinline]] Engine::QuietEnd Engine::quiet_instructions(uint64_t limit, Watch& watch) {
  const uint32_t cycles = board.step_cycles();
  uint32_t timer_waits = board.quiet_cycles();
  StepResult& r = last_step;
  r = StepResult{};
  r.executed = true;
  for (uint64_t n = 0;;) {
    if (n == limit || (watch_breakpoints && breakpoints.marked(cpu.pc))) return {n, QuietEnd::next_step};
    board.cycle_counter += cycles;
    const bool timer_counted = cycles >= timer_waits;
    if (timer_counted)
      board.update_timer();
    else
      timer_waits -= cycles;
    r.address = cpu.pc;
    r.length = cpu_execute(cpu, r.address, true, r.transfers);
    byte_total += static_cast<uint32_t>(r.length);
    ++n;
    if (board.decoded_access || cpu.undefined) return {n, QuietEnd::finish_step};
    if (r.transfers && watch(r)) return {n, QuietEnd::run_over};
    if (timer_counted || cpu.waiting) return {n, QuietEnd::next_step};
  }
}

}  // namespace zun
