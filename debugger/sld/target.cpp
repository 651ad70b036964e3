// Target access over the simulator engine. The engine's commands are sent
// synchronously; the engine reports every stop through its debugger
// notification, which run control listens to.
#include "debugger/sld/target.h"

#include "debugger/engine/quiet_run.h"

namespace zun::sld {

int TargetAccess::PeekBus::board_read(uint32_t addr, uint8_t& out) {
  out = board_.board_peek(addr);
  return 0;
}

TargetAccess::TargetAccess(Engine& engine, SldHost& host)
    : engine_(engine), host_(host), peek_bus_(engine.board), peek_cpu_(peek_bus_) {}

int TargetAccess::target_set_kind(uint32_t kind) {
  kind_ = kind;
  if (!is_simulator()) return 0;
  engine_.sim_set_visual(true);
  return 1;
}

uint32_t TargetAccess::target_get_register(int index) {
  if (!is_simulator()) return 0;
  host_.status_text("Getting register values");
  uint32_t value = index == kRegisterD ? uint32_t(engine_.cpu.a) << 8 | engine_.cpu.b
                                       : cpu_get_register(engine_.cpu, index);
  host_.status_text("");
  return value;
}

void TargetAccess::target_set_register(int index, uint32_t value) {
  if (!is_simulator()) return;
  host_.status_text("Setting register values");
  if (index == kRegisterD) {
    engine_.cpu.a = static_cast<uint8_t>(value >> 8);
    engine_.cpu.b = static_cast<uint8_t>(value);
  } else {
    cpu_set_register(engine_.cpu, index, value);
  }
  host_.status_text("");
}

uint32_t TargetAccess::target_get_pc() { return is_simulator() ? cpu_get_pc(engine_.cpu) : 0; }

void TargetAccess::target_set_pc(uint32_t value) {
  if (!is_simulator()) return;
  cpu_set_pc(engine_.cpu, value);
  engine_.current_mark = engine_.cpu.pc;
  engine_.host.repaint();
}

uint32_t TargetAccess::target_get_sp() { return is_simulator() ? cpu_get_s(engine_.cpu) : 0; }

uint32_t TargetAccess::target_read(uint32_t address, int size) {
  if (!is_simulator() || (size != 1 && size != 2 && size != 4)) return 0;
  uint32_t value = 0;
  for (int i = 0; i < size; ++i)
    value = value << 8 | engine_.board.board_peek((address + static_cast<uint32_t>(i)) & 0xFFFF);
  return value;
}

void TargetAccess::target_write(uint32_t address, uint32_t value, int size) {
  if (!is_simulator() || (size != 1 && size != 2 && size != 4)) return;
  for (int i = size - 1; i >= 0; --i, value >>= 8)
    engine_.board.board_write((address + static_cast<uint32_t>(i)) & 0xFFFF,
                              static_cast<uint8_t>(value));
}

uint32_t TargetAccess::disassemble_line(uint32_t address, std::string& line) {
  return zun::disassemble_line(peek_cpu_, address, line);
}

int TargetAccess::target_set_breakpoint(uint32_t address) {
  if (!is_simulator()) return -1;
  auto it = planted_.find(address);
  if (it != planted_.end()) {
    // Shared; planted again when someone removed the entry meanwhile.
    int slot = engine_.sim_bp_find(address);
    if (slot < 0) slot = engine_.sim_bp_set(address, false);
    if (slot < 0) return -1;
    ++it->second.references;
    return slot;
  }
  Planted p;
  p.references = 1;
  int existing = engine_.sim_bp_find(address);
  if (existing >= 0) {
    p.borrowed = true;
    p.former = engine_.breakpoints.entries[static_cast<size_t>(existing)].state;
  }
  int slot = engine_.sim_bp_set(address, false);
  if (slot < 0) return -1;
  // A disabled or temporary entry of the window's must stop every time now.
  engine_.sim_bp_enable(address);
  planted_.emplace(address, p);
  return slot;
}

void TargetAccess::give_back(uint32_t address, const Planted& p) {
  if (!p.borrowed) {
    engine_.sim_bp_remove(address);
    return;
  }
  int i = engine_.sim_bp_find(address);
  if (i >= 0) engine_.breakpoints.entries[static_cast<size_t>(i)].state = p.former;
}

void TargetAccess::target_clear_breakpoint(uint32_t address, int) {
  if (!is_simulator()) return;
  auto it = planted_.find(address);
  if (it == planted_.end()) return;
  if (--it->second.references > 0) return;
  give_back(address, it->second);
  planted_.erase(it);
}

void TargetAccess::target_clear_all_breakpoints() {
  if (!is_simulator()) return;
  for (const auto& [address, p] : planted_) give_back(address, p);
  planted_.clear();
}

std::vector<uint32_t> TargetAccess::target_forget_lost() {
  std::vector<uint32_t> lost;
  for (auto it = planted_.begin(); it != planted_.end();) {
    if (engine_.sim_bp_exists(it->first)) {
      ++it;
      continue;
    }
    lost.push_back(it->first);
    it = planted_.erase(it);
  }
  return lost;
}

std::map<uint32_t, int> TargetAccess::target_planted() const {
  std::map<uint32_t, int> out;
  for (const auto& [address, p] : planted_) out[address] = p.references;
  return out;
}

size_t TargetAccess::target_free_breakpoints() const { return engine_.breakpoints.free_entries(); }

bool TargetAccess::target_window_stops_at(uint32_t address) const {
  auto it = planted_.find(address);
  return it != planted_.end() && it->second.borrowed && it->second.former != BpState::Disabled;
}

void TargetAccess::target_step() {
  if (!is_simulator()) return;
  step_stops_ = engine_.stop_count;
  engine_.sim_post_step();
}

bool TargetAccess::target_step_took_interrupt() const {
  return is_simulator() && engine_.last_step.interrupt && engine_.stop_count == step_stops_;
}

bool TargetAccess::target_serve_interrupt(uint32_t s_before, uint64_t limit, uint64_t& ran,
                                          const std::function<bool(uint32_t)>& stops_at) {
  ran = 0;
  if (!is_simulator()) return false;
  // S at or above where it was, counted on the 16-bit ring.
  auto returned = [&] { return static_cast<int16_t>(cpu_get_s(engine_.cpu) - s_before) >= 0; };
  const int stops = engine_.stop_count;
  while (ran < limit && !returned()) {
    // A quiet run ends before an instruction that may have a breakpoint,
    // but runs its own first one.
    uint32_t pc = engine_.cpu.pc;
    if (engine_.sim_bp_hit(pc, false) && stops_at(pc)) return false;
    ran += engine_.run_quiet(limit - ran, [&](const StepResult&) { return returned(); });
    if (engine_.stop_count != stops || engine_.last_step.undefined) return false;
  }
  return returned();
}

bool TargetAccess::target_in_service() const {
  return is_simulator() && engine_.cpu.in_service != IRQ_NONE;
}

void TargetAccess::target_run() {
  if (is_simulator()) engine_.sim_post_run_fast();
}

void TargetAccess::target_stop() {
  if (is_simulator()) engine_.sim_post_stop();
}

void TargetAccess::target_reset() {
  if (is_simulator()) engine_.command(SIM_RESET_CPU);
}

bool TargetAccess::target_is_running() { return is_simulator() && engine_.sim_is_running_fast(); }

int TargetAccess::target_load(const std::string& path) {
  if (!is_simulator()) return 0;
  host_.wait_cursor(true);
  host_.status_text("Loading to Target");
  load_path_ = path;
  engine_.load_file = path;
  int ok = engine_.sim_post_load();
  // The load cleared the simulator's breakpoint table.
  planted_.clear();
  host_.status_text("Load Done");
  host_.wait_cursor(false);
  return ok ? 1 : 0;
}

int TargetAccess::target_reload() {
  if (!is_simulator()) return 0;
  engine_.load_file = load_path_;
  return engine_.sim_post_reload();
}

void TargetAccess::target_close() {
  if (!is_simulator()) return;
  target_clear_all_breakpoints();
}

bool TargetAccess::is_call_at(uint32_t address) {
  return is_simulator() && is_call_opcode(static_cast<uint8_t>(target_read(address, 1)));
}

// PULS with PC among its registers returns as RTS does (the runtime's
// routines end so).
bool TargetAccess::is_return_at(uint32_t address) {
  if (!is_simulator()) return false;
  auto op = static_cast<uint8_t>(target_read(address, 1));
  return is_return_opcode(op) || (op == 0x35 && (target_read(address + 1, 1) & 0x80));
}

}  // namespace zun::sld
