// What the visual simulator's panels show, without a window system: the
// control layout for a CPU kind, the 12-line disassembly list, the stack view,
// the memory grid, the register fields, the lamps, the toolbar state and the
// items of the pop-up menus. The Qt window paints and places what these give.
// Panels look at memory through board_peek and board_look only: showing the
// board never changes a chip or an outside device.
#pragma once
#include "debugger/engine/engine.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zun {

// ---- control layout ----

enum class ControlKind : uint8_t {
  ColumnHeader,   // static, centred, the byte column "%2.2X"
  AddressField,   // read-only edit, ids 90-93
  AddressButton,  // "mem"/"set", id 1101
  MemoryCell,     // edit, ids 256-319
  ScrollBar,      // vertical, id 512
  Button,         // ROM writable, interrupt requests, clear byte total
  SmallButton,    // small font: Step, exception handling, Apply
  RegisterField,  // edit, id 1024 + register index
};

struct ControlPlace {
  int id = -1;
  ControlKind kind = ControlKind::Button;
  std::string text;
  int x = 0, y = 0, width = 0, height = 0;
};

// Control ids of the panels beside the engine's commands.
enum PanelId : int {
  ID_ADDRESS_FIELD_FIRST = 90,
  ID_MEMORY_CELL_FIRST = 256,
  ID_MEMORY_SCROLL = 512,
  ID_APPLY = 781,
  ID_REGISTER_FIRST = 1024,
  ID_ADDRESS_BUTTON = 1101,
};

constexpr int memory_cells = 64;
constexpr int memory_scroll_max = 4092;  // lines of 16 bytes
constexpr int list_rows = 12;
constexpr int list_width = 31;

struct PanelRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// The byte counter holds as many digits as the largest count, 4294967295.
constexpr int byte_total_digits = 10;

// The panel geometry for kind 17, from the panel font's line height L and
// average character width W.
struct PanelGeometry {
  int L = 16, W = 8;
  int list_x = 123, list_y = 174;
  int stack_x = 29, stack_y = 227;
  int byte_total_x() const { return 176 + 4 * W; }
  int byte_total_y = 114;
  // The counter's dark window behind its text.
  PanelRect byte_total_box() const { return {byte_total_x() - 4, byte_total_y - 3, byte_total_digits * W + 10, L + 6}; }
  int descriptor_x = 7, descriptor_y = 51;
};

// The byte counter's text: seven digits at least.
std::string byte_total_text(uint32_t total);

// Whether the CPU kind has a panel layout (only the MC6809's, 17).
bool layout_for_kind(int cpu_kind);
// Every control of the panels, in creation order; empty for a kind without
// a layout.
std::vector<ControlPlace> control_layout(int cpu_kind, int L, int W);

// ---- register fields ----

// "%2.2X", "%4.4X", "%8.8X" or "%16.16llX" by width for radix 16; the bits
// most significant first for radix 2 (3, 8, 16 or 32 bits); decimal for 10;
// else "".
std::string format_register(uint64_t value, int bits, int radix);
// 0 and the value, or 1 at the first character that is no digit of the
// radix; an empty text gives 0.
int sim_parse_number(const std::string& text, uint64_t& value, int radix);
// The text a register field shows.
std::string register_text(const Cpu& cpu, int index);
// Writes the field's text into the register; false (register unchanged) on
// a bad digit.
bool register_field_apply(Cpu& cpu, int index, const std::string& text);

// ---- disassembly list ----

enum class RowStyle : uint8_t { Plain, Selected, Current, CurrentAtBreak, Break, DisabledBreak };

class DisassemblyList {
public:
  // list_refresh: restarts at PC unless PC is one of the first 11 line
  // addresses, then disassembles all 12 lines; the mark becomes PC (cleared
  // first with `reset`).
  void refresh(Engine& engine, bool reset);
  // The list half of a displayed step: rebuilt when the instruction
  // transferred control away from the first 11 lines, scrolled by one when
  // PC reached the last line, then repainted with the mark at PC.
  void after_step(Engine& engine, const StepResult& step);
  RowStyle style(int row, const Engine& engine) const;
  // The row under a point of the list, or -1.
  int row_at(int x, int y, const PanelGeometry& g) const;

  std::array<std::string, list_rows> lines;
  std::array<uint16_t, list_rows> addresses{};
  int selected = -1;

private:
  bool among_first_eleven(uint16_t pc) const;
  void fill_from(Engine& engine, int first_row);
};

// ---- stack view ----

class StackView {
public:
  // Keeps the 8-byte window while S stays within base + 3 .. top - 2, else
  // recentres it on S; remembers whether S moved since the last paint.
  void follow(uint16_t s);
  uint16_t line_address(int k) const { return uint16_t(base + k); }
  std::string line_text(const Board& board, int k) const;  // "%4.4X %2.2X"
  int arrow_row() const { return (s_ - base) & 0xFFFF; }

  uint16_t base = 0, top = 0;
  bool s_changed = false;

private:
  uint16_t s_ = 0;
  bool shown_ = false;
};

// ---- memory grid ----

class MemoryGrid {
public:
  // A multiple of 16 no higher than 4092 lines.
  void set_base(uint32_t address);
  // The scroll position after a scroll action (line, page, thumb, ends).
  static int clamp_position(int position);
  std::string address_text(int row) const;  // "%4.4X"
  // "%2.2X" of what a read would give (board_look), "--" where that cannot
  // be known without a change to the device.
  std::string cell_text(const Board& board, int cell) const;
  // RAM, the I/O page and ROM while writable take typed bytes.
  bool cell_editable(const Board& board, int cell) const;
  // One completed edit of a cell: a bad hex digit leaves memory alone; else
  // the byte is written once. Returns what the cell shows afterwards: the
  // value memory holds (ROM that refused the write, a device register).
  std::string edit_cell(Board& board, int cell, const std::string& text) const;

  uint32_t base = 0;
};

// ---- lamps ----

enum class Lamp : uint8_t { BreakOnIo, BreakOnIrq, Running, Exceptions, RomWritable, IrqService, FirqService, NmiService };

struct LampPlace {
  Lamp lamp;
  int x, y;
  const char* label;
};

constexpr int lamp_count = 8;
extern const std::array<LampPlace, lamp_count> lamp_places;
bool lamp_on(Lamp lamp, const Engine& engine);

// ---- toolbar and pop-up menus ----

struct ToolButton {
  int id;
  const char* tip;
};
// The nine buttons in order, with their tool tips.
extern const std::array<ToolButton, 9> tool_buttons;
// "Huh?" for an id without a tip.
const char* tool_tip(int id);
bool tool_enabled(int id, RunMode mode, bool load_name_known);

struct MenuEntry {
  int id = 0;  // 0: separator
  std::string text;
};

// Pop-up menu over a list row showing `address`.
std::vector<MenuEntry> list_menu(const Engine& engine, uint32_t address);
// Pop-up menu elsewhere on the window.
std::vector<MenuEntry> panel_menu(const Engine& engine);

// Pop-up choices carried out by the window itself, not window commands.
enum PopupId : int {
  POP_SET_BREAK = 797,
  POP_REMOVE_BREAK = 798,
  POP_CLEAR_ALL_BREAKS = 799,
  POP_ENABLE_BREAK = 800,
  POP_DISABLE_BREAK = 801,
  POP_BREAK_ON_IO = 802,
  POP_NO_BREAK_ON_IO = 803,
  POP_BREAK_ON_IRQ = 804,
  POP_NO_BREAK_ON_IRQ = 805,
  SIM_BREAKPOINT_DIALOG = 806,
  POP_GOTO_HERE = 807,
  SIM_LOAD_NEW = 808,
};

// Carries out a list pop-up choice on `address`; false for another id.
bool list_menu_choice(Engine& engine, int id, uint32_t address);
// Carries out 799 and 802-805; false for another id.
bool panel_menu_choice(Engine& engine, int id);

// ---- breakpoint dialog ----

// One line per used entry in table order: "%4.4X", plus " (Disabled)".
std::vector<std::string> breakpoint_lines(const BreakpointTable& table);
// The address a line stands for.
std::optional<uint32_t> breakpoint_line_address(const std::string& line);

}  // namespace zun
