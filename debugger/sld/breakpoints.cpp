// The debugger's breakpoint records and their planting. A record is armed
// (planted in the simulator) when it has an address, is enabled and is wanted
// for the coming run; the simulator entry of an address is shared by all
// records there, so every record is disarmed before it is freed.
#include "debugger/sld/breakpoints.h"

#include "common/format.h"

#include <cstdio>

namespace zun::sld {

bool SldBreakpoint::matches(const DebugModule* m, uint32_t l, uint32_t n2) const {
  if (line != l) return false;
  if (n2 != kAnyNumber2 && n2 != number2) return false;
  if (!m) return module == nullptr && module_name.empty();
  return module == m || module_name == m->name;
}

SldBreakpoints::SldBreakpoints(Sld& model, TargetAccess& target, SldHost& host)
    : model_(model), target_(target), host_(host) {}

void SldBreakpoints::arm(SldBreakpoint& bp) {
  if (bp.flags & BP_PLANTED) return;
  int slot = target_.target_set_breakpoint(bp.address);
  if (slot < 0) {
    if (!full_) full_at_ = bp.address;
    full_ = true;
    return;
  }
  bp.sim_slot = slot;
  bp.flags |= BP_PLANTED;
}

void SldBreakpoints::disarm(SldBreakpoint& bp) {
  if (!(bp.flags & BP_PLANTED)) return;
  target_.target_clear_breakpoint(bp.address, bp.sim_slot);
  bp.sim_slot = -1;
  bp.flags &= static_cast<uint8_t>(~BP_PLANTED);
}

void SldBreakpoints::apply_rule(SldBreakpoint& bp) {
  if (bp.address == 0) return;
  if ((bp.flags & BP_WANTED) && bp.enabled)
    arm(bp);
  else
    disarm(bp);
}

void SldBreakpoints::free_all(std::list<SldBreakpoint>& list) {
  for (SldBreakpoint& bp : list) disarm(bp);
  list.clear();
}

uint32_t SldBreakpoints::user_address(const SldBreakpoint& bp) const {
  if ((bp.flags & BP_RESOLVED) || !bp.module) return bp.address;
  const ExecPoint* p = bp.module->first_point_on_line(bp.line);
  return p ? p->address : 0;
}

bool SldBreakpoints::enabled_user_at(uint32_t address) const {
  for (const SldBreakpoint& bp : user_)
    if (bp.address == address && bp.enabled) return true;
  return false;
}

SldBreakpoint& SldBreakpoints::append(std::list<SldBreakpoint>& list, const DebugModule* module,
                                      uint32_t line, uint32_t number2, uint32_t address) {
  SldBreakpoint& bp = list.emplace_back();
  bp.line = line;
  bp.number2 = number2;
  bp.address = address;
  bp.enabled = true;
  bp.flags = BP_WANTED;
  bp.module = module;
  if (module) bp.module_name = module->name;
  return bp;
}

void SldBreakpoints::bp_clear_all() {
  free_all(user_);
  free_all(targets_);
  for (SldBreakpoint& bp : scratch_) {
    disarm(bp);
    bp = SldBreakpoint{};
  }
}

void SldBreakpoints::sld_bp_session_reset() {
  free_all(targets_);
  for (auto it = user_.begin(); it != user_.end();) {
    if (it->flags & (BP_START | BP_EXIT)) {
      disarm(*it);
      it = user_.erase(it);
    } else {
      disarm(*it);
      ++it;
    }
  }
  for (SldBreakpoint& bp : scratch_) disarm(bp);
  target_.target_clear_all_breakpoints();
}

void SldBreakpoints::sld_bp_session_open() {
  free_all(targets_);
  for (SldBreakpoint& bp : user_) {
    disarm(bp);
    bp.flags |= BP_WANTED;
    if (bp.was_enabled) {
      bp.enabled = true;
      bp.was_enabled = false;
    }
    if (!bp.module) {
      // The program may have been rebuilt: the line is found again in the
      // module of that name, or the breakpoint rests until it comes back.
      bp.module = model_.sld_module_find(bp.module_name);
      if (!bp.module) {
        bp.address = 0;
        bp.flags &= static_cast<uint8_t>(~BP_RESOLVED);
      }
    }
  }
  for (SldBreakpoint& bp : scratch_) disarm(bp);
  target_.target_clear_all_breakpoints();
}

void SldBreakpoints::sld_bp_session_close() {
  for (SldBreakpoint& bp : targets_) disarm(bp);
  for (SldBreakpoint& bp : user_) {
    disarm(bp);
    bp.flags &= static_cast<uint8_t>(~BP_RESOLVED);
    bp.module = nullptr;
  }
  for (SldBreakpoint& bp : scratch_) disarm(bp);
}

SldBreakpoint& SldBreakpoints::sld_bp_add_temporary(const DebugModule* module, uint32_t line,
                                                    uint32_t number2, uint32_t address,
                                                    bool in_frame) {
  // An enabled user breakpoint serves at its own address only: a line may
  // have several points (a for loop's increment behind its body), and a stop
  // wanted at another of them needs a record of its own. A disabled one is
  // left as the user set it and the stop gets a record of its own.
  for (SldBreakpoint& bp : user_) {
    if (bp.matches(module, line, kAnyNumber2) && bp.enabled && user_address(bp) == address) {
      bp.flags |= BP_WANTED;
      return bp;
    }
  }
  SldBreakpoint* found = nullptr;
  for (SldBreakpoint& bp : targets_) {
    if (bp.address == address) {
      found = &bp;
      break;
    }
  }
  // By line only while the address is unknown: two points of one line may
  // carry the same second number at different addresses.
  if (!found && address == 0) {
    for (SldBreakpoint& bp : targets_) {
      if (bp.matches(module, line, number2)) {
        found = &bp;
        break;
      }
    }
  }
  if (found) {
    // Wanted already in this command: a stop for every call there wins.
    if ((found->flags & BP_WANTED) && !(found->flags & BP_IN_FRAME)) in_frame = false;
    found->flags |= BP_WANTED;
    found->was_enabled = found->enabled;
    found->enabled = true;
  } else {
    found = &append(targets_, module, line, number2, address);
  }
  if (in_frame)
    found->flags |= BP_IN_FRAME;
  else
    found->flags &= static_cast<uint8_t>(~BP_IN_FRAME);
  return *found;
}

SldBreakpoint& SldBreakpoints::sld_bp_add_user(const DebugModule* module, uint32_t line,
                                               uint32_t address) {
  if (SldBreakpoint* bp = sld_bp_find_user(module, line)) {
    bp->flags |= BP_WANTED;
    if (bp->was_enabled) {
      bp->was_enabled = false;
      bp->enabled = true;
    }
    return *bp;
  }
  return append(user_, module, line, kAnyNumber2, address);
}

SldBreakpoint& SldBreakpoints::sld_bp_add_session(const DebugModule* module, uint32_t line,
                                                  uint32_t address, uint8_t flag) {
  bool users_own = sld_bp_find_user(module, line) != nullptr;
  SldBreakpoint& bp = sld_bp_add_user(module, line, address);
  disarm(bp);
  bp.address = address;
  bp.flags |= BP_RESOLVED;
  if (!users_own) bp.flags |= flag;
  return bp;
}

SldBreakpoint* SldBreakpoints::sld_bp_find_user(const DebugModule* module, uint32_t line) {
  for (SldBreakpoint& bp : user_)
    if (bp.matches(module, line, kAnyNumber2)) return &bp;
  return nullptr;
}

bool SldBreakpoints::sld_bp_remove_user(const DebugModule* module, uint32_t line) {
  for (auto it = user_.begin(); it != user_.end(); ++it) {
    if (it->matches(module, line, kAnyNumber2)) {
      disarm(*it);
      user_.erase(it);
      return true;
    }
  }
  return false;
}

void SldBreakpoints::sld_bp_set_enabled(SldBreakpoint& bp, bool enabled) {
  bp.enabled = enabled;
  bp.was_enabled = false;
  // A disabled breakpoint leaves the simulator at once: the simulator
  // window's own Run must not stop there either.
  apply_rule(bp);
}

bool SldBreakpoints::sld_bp_plant_all() {
  host_.wait_cursor(true);
  host_.status_text("Setting target breakpoints");
  full_ = false;
  // Entries that someone else removed from the simulator are planted anew.
  for (uint32_t address : target_.target_forget_lost()) {
    for (auto* list : {&user_, &targets_}) {
      for (SldBreakpoint& bp : *list) {
        if (bp.address == address) bp.flags &= static_cast<uint8_t>(~BP_PLANTED);
      }
    }
    for (SldBreakpoint& bp : scratch_)
      if (bp.address == address) bp.flags &= static_cast<uint8_t>(~BP_PLANTED);
  }
  for (SldBreakpoint& bp : user_) {
    if ((bp.flags & BP_RESOLVED) || !bp.module) continue;
    const ExecPoint* p = bp.module->first_point_on_line(bp.line);
    disarm(bp);
    bp.address = p ? p->address : 0;
    bp.flags |= BP_RESOLVED;
  }
  for (SldBreakpoint& bp : user_) apply_rule(bp);
  // Where an enabled user breakpoint stands, the target records go; at a
  // disabled one they stay, so that the run still stops there.
  for (auto it = targets_.begin(); it != targets_.end();) {
    if (enabled_user_at(it->address) || !(it->flags & BP_WANTED)) {
      disarm(*it);
      it = targets_.erase(it);
      continue;
    }
    apply_rule(*it);
    ++it;
  }
  for (SldBreakpoint& bp : scratch_)
    if (bp.address) arm(bp);
  if (full_)
    host_.out_print(format("The simulator's breakpoint table is full: a breakpoint at 0x%04X "
                           "and others were not set\n",
                           full_at_));
  host_.status_text("");
  host_.wait_cursor(false);
  return !full_;
}

SldBreakpoint* SldBreakpoints::sld_bp_hit(uint32_t address) {
  SldBreakpoint* found = nullptr;
  for (SldBreakpoint& bp : scratch_)
    if (!found && address && bp.address == address) found = &bp;
  for (SldBreakpoint& bp : targets_)
    if (!found && bp.address == address) found = &bp;
  bool user = false;
  for (SldBreakpoint& bp : user_) {
    if (!found && bp.address == address) {
      found = &bp;
      user = true;
    }
  }
  if (!found) return nullptr;
  if (user && found->enabled) found->was_enabled = true;
  found->enabled = false;
  disarm(*found);
  return found;
}

void SldBreakpoints::sld_bp_rearm(uint32_t address) {
  SldBreakpoint* found = nullptr;
  for (SldBreakpoint& bp : scratch_)
    if (!found && address && bp.address == address) found = &bp;
  for (SldBreakpoint& bp : user_)
    if (!found && bp.address == address && bp.was_enabled) found = &bp;
  for (SldBreakpoint& bp : targets_)
    if (!found && bp.address == address) found = &bp;
  if (!found) return;
  found->enabled = true;
  found->was_enabled = false;
  arm(*found);
}

void SldBreakpoints::sld_bp_restore_enabled() {
  for (SldBreakpoint& bp : user_)
    if (bp.was_enabled) bp.enabled = true;
}

void SldBreakpoints::sld_bp_suspend_all() {
  for (SldBreakpoint& bp : user_) {
    bp.was_enabled = bp.enabled;
    bp.enabled = false;
  }
}

void SldBreakpoints::sld_bp_unwant_targets() {
  for (SldBreakpoint& bp : targets_) bp.flags &= static_cast<uint8_t>(~BP_WANTED);
}

void SldBreakpoints::sld_bp_disarm_targets() {
  for (SldBreakpoint& bp : targets_) disarm(bp);
}

bool SldBreakpoints::sld_bp_planted_at(uint32_t address) const {
  for (const SldBreakpoint& bp : scratch_)
    if (address && bp.address == address && (bp.flags & BP_PLANTED)) return true;
  for (const auto* list : {&targets_, &user_})
    for (const SldBreakpoint& bp : *list)
      if (bp.address == address && (bp.flags & BP_PLANTED)) return true;
  return false;
}

bool SldBreakpoints::targets_only_at(uint32_t address, bool in_frame) const {
  if (target_.target_window_stops_at(address)) return false;
  for (const SldBreakpoint& bp : scratch_)
    if (address && bp.address == address && (bp.flags & BP_PLANTED)) return false;
  for (const SldBreakpoint& bp : user_)
    if (bp.address == address && (bp.flags & BP_PLANTED)) return false;
  bool any = false;
  for (const SldBreakpoint& bp : targets_) {
    if (bp.address != address || !(bp.flags & BP_PLANTED)) continue;
    if (in_frame && !(bp.flags & BP_IN_FRAME)) return false;
    any = true;
  }
  return any;
}

bool SldBreakpoints::sld_bp_in_frame_only_at(uint32_t address) const {
  return targets_only_at(address, true);
}

bool SldBreakpoints::sld_bp_targets_only_at(uint32_t address) const {
  return targets_only_at(address, false);
}

void SldBreakpoints::sld_bp_set_scratch(int which, uint32_t address) {
  SldBreakpoint& bp = scratch_.at(static_cast<size_t>(which));
  disarm(bp);
  bp.address = address;
  bp.enabled = address != 0;
}

// ---- the "Breakpoints" dialog ----

std::vector<std::string> SldBreakpoints::sld_bp_dialog_lines() const {
  std::vector<std::string> lines;
  for (const SldBreakpoint& bp : user_) {
    if (!bp.module) continue;
    lines.push_back(format("at line %d: in '%s'  ", static_cast<int>(bp.line),
                           bp.module->file_name.c_str()) +
                    (bp.enabled ? "Enabled" : "Disabled"));
  }
  if (lines.empty()) lines.emplace_back("No Breakpoints");
  return lines;
}

bool SldBreakpoints::sld_bp_dialog_has_rows() const {
  for (const SldBreakpoint& bp : user_)
    if (bp.module) return true;
  return false;
}

SldBreakpoint* SldBreakpoints::sld_bp_dialog_find(const std::string& text) {
  int line = 0;
  int used = 0;
  if (std::sscanf(text.c_str(), "at line %d: in '%n", &line, &used) != 1 || used == 0) return nullptr;
  size_t end = text.find('\'', static_cast<size_t>(used));
  if (end == std::string::npos) return nullptr;
  std::string file = text.substr(static_cast<size_t>(used), end - static_cast<size_t>(used));
  for (SldBreakpoint& bp : user_)
    if (bp.module && bp.module->file_name == file && bp.line == static_cast<uint32_t>(line))
      return &bp;
  return nullptr;
}

std::string SldBreakpoints::sld_bp_dialog_toggle_text(const std::string& text) {
  SldBreakpoint* bp = sld_bp_dialog_find(text);
  return bp && bp->enabled ? "Disable" : "Enable";
}

void SldBreakpoints::sld_bp_dialog_toggle(const std::string& text) {
  if (SldBreakpoint* bp = sld_bp_dialog_find(text)) sld_bp_set_enabled(*bp, !bp->enabled);
}

void SldBreakpoints::sld_bp_dialog_remove(const std::string& text) {
  SldBreakpoint* bp = sld_bp_dialog_find(text);
  if (!bp) return;
  for (auto it = user_.begin(); it != user_.end(); ++it) {
    if (&*it == bp) {
      disarm(*it);
      user_.erase(it);
      return;
    }
  }
}

void SldBreakpoints::sld_bp_dialog_remove_all() { free_all(user_); }

}  // namespace zun::sld
