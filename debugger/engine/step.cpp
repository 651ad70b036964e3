// One engine step: interrupt arbitration between the on-board chips, the
// attached outside devices and the user's requests, then one instruction (or,
// while the CPU waits after CWAI, only the devices' time).
#include "debugger/engine/engine.h"

#include <algorithm>

namespace zun {

// The MC6809's lines by priority: NMI, FIRQ, IRQ. A line the CPU masks
// blocks none below it, and a button's press waits until its line is taken
// (an engine reset clears it). The chips and outside devices share the IRQ
// line with the IRQ button, so one service answers them all.
bool Engine::step_interrupts(bool display) {
  const bool irq_line = board.board_irq_pending() || board.dev_irq_pending();
  if (!any_user_request() && !irq_line) return false;
  // Kinds 4-7 belong to other processors: the MC6809 refuses them, so their
  // presses end here.
  std::fill(user_requests.begin() + 4, user_requests.end(), false);
  if (!exceptions_enabled) {
    stop();
    host.message_box("Message", "IRQ-pending but exception handling is disabled");
    return true;
  }
  for (int kind : {IRQ_NMI, IRQ_FIRQ, IRQ_IRQ}) {
    const bool requested = user_requests[kind] || (kind == IRQ_IRQ && irq_line);
    if (!requested || !cpu_interrupt(cpu, kind)) continue;
    user_requests[kind] = false;
    in_service[kind] = true;
    if (display && visual) {
      host.repaint();
      notify();
    }
    if (break_on_irq) stop();
    return true;
  }
  return false;
}

StepResult Engine::step_instruction(bool display) {
  StepResult r;
  if (cpu.waiting) {
    device_pre_step();
    device_post_step();
    return r;
  }
  r.address = cpu.pc;
  // Under Break on IO a running instruction may be refused a device: it is
  // then taken back whole, so the user stops on it with nothing done.
  const bool may_take_back = board.refuses_device_access();
  if (may_take_back) save_for_take_back();
  // cpu_step_traced, with the engine's own hooks called directly rather than
  // through the CPU's hook table: this runs for every instruction.
  device_pre_step();
  r.length = cpu_execute(cpu, r.address, true, r.transfers);
  r.undefined = cpu.undefined;
  cpu.undefined = false;
  device_post_step();
  if (board.stop_requested) {
    board.clear_stop_request();
    if (may_take_back) take_back();
    r = StepResult{};
    r.address = cpu.pc;
    stop();
    return r;
  }
  r.executed = true;
  byte_total += static_cast<uint32_t>(r.length);
  if (visual) host.repaint();
  if (display && visual) notify();
  return r;
}

StepResult Engine::sim_step_once(bool display) {
  last_step = StepResult{};
  if (step_interrupts(display)) {
    last_step.interrupt = true;
    return last_step;
  }
  last_step = step_instruction(display);
  return last_step;
}

bool Engine::quiet_ahead() {
  if (any_user_request() || cpu.waiting) return false;
  // Under Break on IO a running instruction may have to be taken back.
  if (board.refuses_device_access()) return false;
  return board.devices_quiet();
}

void Engine::save_for_take_back() {
  const Cpu& c = cpu;
  take_back_state = {c.pc, c.s, c.u, c.x, c.y, c.a, c.b, c.dp, c.cc, c.waiting, c.in_service, in_service};
}

void Engine::take_back() {
  const SavedState& saved = take_back_state;
  cpu.pc = saved.pc;
  cpu.s = saved.s;
  cpu.u = saved.u;
  cpu.x = saved.x;
  cpu.y = saved.y;
  cpu.a = saved.a;
  cpu.b = saved.b;
  cpu.dp = saved.dp;
  cpu.cc = saved.cc;
  cpu.waiting = saved.waiting;
  cpu.in_service = saved.in_service;
  in_service = saved.lamps;
}

void Engine::timer_reset() { board.reset_timer(); }
void Engine::board_reset_devices() { board.board_reset_devices(); }

void Engine::sim_end_of_service(int kind) {
  if (kind < 1 || kind > 7) return;
  in_service[kind] = false;
  if (visual) host.repaint();
}

}  // namespace zun
