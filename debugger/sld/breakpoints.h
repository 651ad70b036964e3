// The debugger's own breakpoints: the user list (set in the source window,
// plus the session's "_main" and "__lowexit"), the target list of temporary
// breakpoints that run control plants for one run, and two scratch records.
// They are planted into the simulator's table before every run.
#pragma once
#include "debugger/sld/sld.h"
#include "debugger/sld/target.h"

#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace zun::sld {

constexpr uint32_t kAnyNumber2 = 0xFFFFFFFF;

// Flags of a breakpoint record.
enum : uint8_t {
  BP_PLANTED = 0x02,   // stands in the simulator
  BP_WANTED = 0x04,    // wanted for the coming run
  BP_START = 0x08,     // the session's "_main"
  BP_EXIT = 0x10,      // the session's "__lowexit"
  BP_RESOLVED = 0x20,  // address taken from the module's execution points
  // A temporary that counts only in the call the command started in: a
  // deeper call (S below the command's start) passes it by.
  BP_IN_FRAME = 0x40,
};

struct SldBreakpoint {
  uint32_t line = 0;
  uint32_t number2 = kAnyNumber2;
  uint32_t address = 0;  // 0 until known
  int sim_slot = -1;
  bool enabled = false;
  // Enabled, and off only for the moment (hit, or Run No Breaks).
  bool was_enabled = false;
  uint8_t flags = 0;
  const DebugModule* module = nullptr;  // cleared at the end of a session
  std::string module_name;
  // Same line, the same second number unless `number2` is any, and the same
  // module, or one of the same name (breakpoints outlive the model).
  bool matches(const DebugModule* m, uint32_t line, uint32_t number2) const;
};

class SldBreakpoints {
public:
  SldBreakpoints(Sld& model, TargetAccess& target, SldHost& host);

  // Frees both lists and empties the scratch records.
  void bp_clear_all();
  // Session start and restart: the session's own breakpoints go, the target
  // list goes, nothing stays planted.
  void sld_bp_session_reset();
  // A session opened on a (maybe rebuilt) program: user breakpoints are tied
  // to the new model's modules by name and wanted again.
  void sld_bp_session_open();
  void sld_bp_session_close();

  // `in_frame` marks the record BP_IN_FRAME, unless the same command also
  // wants it without (then every call stops there).
  SldBreakpoint& sld_bp_add_temporary(const DebugModule* module, uint32_t line, uint32_t number2,
                                      uint32_t address, bool in_frame = false);
  SldBreakpoint& sld_bp_add_user(const DebugModule* module, uint32_t line, uint32_t address);
  // The session's "_main" (BP_START) or "__lowexit" (BP_EXIT) at the address
  // of this build. A breakpoint the user set on that line stays the user's
  // (a session reset does not take it away).
  SldBreakpoint& sld_bp_add_session(const DebugModule* module, uint32_t line, uint32_t address,
                                    uint8_t flag);
  SldBreakpoint* sld_bp_find_user(const DebugModule* module, uint32_t line);
  bool sld_bp_remove_user(const DebugModule* module, uint32_t line);
  // The margin's and the dialog's switch; a user's choice also ends any
  // "off for the moment", and a planted breakpoint follows it at once.
  void sld_bp_set_enabled(SldBreakpoint& bp, bool enabled);

  // False when the simulator's table was full: the breakpoints that did not
  // fit are reported in the output window and stay unplanted.
  bool sld_bp_plant_all();
  SldBreakpoint* sld_bp_hit(uint32_t address);
  void sld_bp_rearm(uint32_t address);
  void sld_bp_restore_enabled();
  void sld_bp_suspend_all();
  // Run control's start of every step: target records are no longer wanted.
  void sld_bp_unwant_targets();
  // The end of a command: the target records leave the simulator, so that no
  // temporary of this run stops a later one (the simulator window's too).
  void sld_bp_disarm_targets();
  // Whether a planted record stands at the address.
  bool sld_bp_planted_at(uint32_t address) const;
  // Whether the planted records at the address are BP_IN_FRAME temporaries
  // only (and the simulator window has no entry of its own there).
  bool sld_bp_in_frame_only_at(uint32_t address) const;
  // Whether the planted records at the address are target-list records only
  // (and the simulator window has no entry of its own there).
  bool sld_bp_targets_only_at(uint32_t address) const;
  void sld_bp_set_scratch(int which, uint32_t address);

  const std::list<SldBreakpoint>& user() const { return user_; }
  const std::list<SldBreakpoint>& targets() const { return targets_; }
  const std::array<SldBreakpoint, 2>& scratch() const { return scratch_; }

  // ---- the "Breakpoints" dialog ----
  // One line per user breakpoint with a module, or "No Breakpoints" alone
  // (then the buttons stay disabled: sld_bp_dialog_has_rows is false).
  std::vector<std::string> sld_bp_dialog_lines() const;
  bool sld_bp_dialog_has_rows() const;
  // The breakpoint of a list line, found by its line number and file name.
  SldBreakpoint* sld_bp_dialog_find(const std::string& text);
  // "Enable" for a disabled, "Disable" for an enabled breakpoint.
  std::string sld_bp_dialog_toggle_text(const std::string& text);
  void sld_bp_dialog_toggle(const std::string& text);
  void sld_bp_dialog_remove(const std::string& text);
  void sld_bp_dialog_remove_all();

private:
  void arm(SldBreakpoint& bp);
  void disarm(SldBreakpoint& bp);
  void apply_rule(SldBreakpoint& bp);
  // A new enabled and wanted record at the tail of a list.
  SldBreakpoint& append(std::list<SldBreakpoint>& list, const DebugModule* module, uint32_t line,
                        uint32_t number2, uint32_t address);
  void free_all(std::list<SldBreakpoint>& list);
  bool enabled_user_at(uint32_t address) const;
  // Whether the planted records at the address are target-list records only
  // (each BP_IN_FRAME when `in_frame` asks so), with no simulator window's
  // entry of its own there.
  bool targets_only_at(uint32_t address, bool in_frame) const;
  // A user breakpoint's address, or the one the next planting resolves it to.
  uint32_t user_address(const SldBreakpoint& bp) const;

  Sld& model_;
  TargetAccess& target_;
  SldHost& host_;
  std::list<SldBreakpoint> user_, targets_;
  std::array<SldBreakpoint, 2> scratch_;
  uint32_t full_at_ = 0;  // first address that did not fit, during a planting
  bool full_ = false;
};

}  // namespace zun::sld
