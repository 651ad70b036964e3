// One engine step: interrupt arbitration between the on-board chips, the
// attached outside devices and the user's requests, then one instruction (or,
// while the CPU waits after CWAI, only the devices' time).
#include "debugger/simwin/engine.h"

#include <cstring>

namespace zun {

bool Engine::step_interrupts(bool display) {
  int user_kind = 0;
  // Asked before every instruction: most of the time nothing is pending.
  uint64_t any_request = 0;
  static_assert(sizeof user_requests == sizeof any_request);
  std::memcpy(&any_request, user_requests.data(), sizeof any_request);
  for (int k = 1; any_request && k <= 7; ++k) {
    if (!user_requests[k]) continue;
    user_requests[k] = false;  // consumed whether or not it is chosen below
    user_kind = k;
    break;
  }
  int kind = user_kind;
  if (board.board_irq_pending() || board.dev_irq_pending()) kind = IRQ_IRQ;
  if (kind == 0) return false;
  if (!exceptions_enabled) {
    stop();
    host.message_box("Message", "IRQ-pending but exception handling is disabled");
    return true;
  }
  if (!cpu_interrupt(cpu, kind)) return false;
  in_service[kind] = true;
  if (display && visual) {
    host.repaint();
    notify();
  }
  if (break_on_irq) stop();
  return true;
}

StepResult Engine::step_instruction(bool display) {
  StepResult r;
  if (cpu.waiting) {
    device_pre_step();
    device_post_step();
    return r;
  }
  r.address = cpu.pc;
  uint8_t first = board.board_peek(r.address);
  if (first == 0x10 || first == 0x11) {
    uint8_t second = board.board_peek(uint16_t(r.address + 1));
    r.undefined = (first == 0x10 ? cpu.page2 : cpu.page3)[second].info == nullptr;
  } else {
    r.undefined = cpu.page1[first].info == nullptr;
  }
  // cpu_step_traced, with the engine's own hooks called directly rather than
  // through the CPU's hook table: this runs for every instruction.
  device_pre_step();
  r.length = cpu_execute(cpu, r.address, true, r.transfers);
  device_post_step();
  // An undefined indexed post-byte leaves PC in place like an undefined opcode.
  if (r.transfers == 0 && cpu.pc == r.address) r.undefined = true;
  r.executed = true;
  byte_total += static_cast<uint32_t>(r.length);
  if (visual) host.repaint();
  if (display && visual) notify();
  if (board.stop_requested) {
    // A device access refused under Break on IO: stop between instructions.
    board.stop_requested = false;
    stop();
  }
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

void Engine::timer_reset() { board.reset_timer(); }
void Engine::board_reset_devices() { board.board_reset_devices(); }

void Engine::sim_end_of_service(int kind) {
  if (kind < 1 || kind > 7) return;
  in_service[kind] = false;
  if (visual) host.repaint();
}

}  // namespace zun
