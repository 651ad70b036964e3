// The panels' contents and rules; see panels.h.
#include "debugger/simwin/panels.h"

#include "common/format.h"
#include "common/number.h"

#include <algorithm>

namespace zun {

namespace {

// Lets the disassembler read memory without touching a device: reads are
// peeks, writes are refused (disassembly never writes).
class PeekBus : public Bus {
public:
  explicit PeekBus(const Board& board) : board_(board) {}
  int board_read(uint32_t addr, uint8_t& out) override {
    out = board_.board_peek(addr);
    return 0;
  }
  int board_write(uint32_t, uint8_t) override { return 1; }

private:
  const Board& board_;
};

// "  %4.4X " and the instruction's text, padded to the list width.
uint16_t list_line(Cpu& cpu, const Board& board, uint16_t address, std::string& line) {
  PeekBus peek(board);
  Bus* saved = cpu.bus;
  cpu.bus = &peek;
  uint32_t next = disassemble_line(cpu, address, line);
  cpu.bus = saved;
  line.resize(list_width, ' ');
  return uint16_t(next);
}

}  // namespace

// ---- control layout ----

bool layout_for_kind(int cpu_kind) { return cpu_kind == CPU_KIND_MC6809; }

std::vector<ControlPlace> control_layout(int cpu_kind, int L, int W) {
  std::vector<ControlPlace> c;
  if (!layout_for_kind(cpu_kind)) return c;
  const int grid_top = 358, grid_left = 48, margin = 7;
  for (int i = 0; i < 16; ++i)
    c.push_back({-1, ControlKind::ColumnHeader, format("%2.2X", i), grid_left + 7 + 2 * L * i, grid_top, 22, 18});
  for (int r = 0; r < 4; ++r)
    c.push_back({ID_ADDRESS_FIELD_FIRST + r, ControlKind::AddressField, "", margin, grid_top + 3 * L * (r + 1) / 2, 40, 18});
  c.push_back({ID_ADDRESS_BUTTON, ControlKind::AddressButton, "mem", margin, grid_top - 1, 5 * W, 5 * L / 3 - 2});
  for (int r = 0; r < 4; ++r)
    for (int col = 0; col < 16; ++col)
      c.push_back({ID_MEMORY_CELL_FIRST + 16 * r + col, ControlKind::MemoryCell, "", grid_left + 7 + 2 * L * col,
                   grid_top + 3 * L * (r + 1) / 2, 22, 18});
  c.push_back({ID_MEMORY_SCROLL, ControlKind::ScrollBar, "", grid_left + 7 + 32 * L, grid_top, 20, 8 * L - 8});
  c.push_back({SIM_TOGGLE_ROM_WRITABLE, ControlKind::Button, "", 200, 72, 2 * W, 4 * L / 3});
  for (int k = 0; k < 3; ++k)
    c.push_back({SIM_REQUEST_IRQ_FIRST + k, ControlKind::Button, "", 81 + 20 * k, 90, 2 * W, 4 * L / 3});
  c.push_back({SIM_STEP, ControlKind::SmallButton, "Step", 267, 151, 8 * L, 5 * L / 3});
  c.push_back({SIM_TOGGLE_EXCEPTIONS, ControlKind::SmallButton, "", 200, 55, 2 * W, 4 * L / 3});
  c.push_back({ID_APPLY, ControlKind::SmallButton, "Apply", 401, 13 * L + 153, 6 * L, 5 * L / 3});
  c.push_back({SIM_CLEAR_BYTES, ControlKind::Button, "C", 4 * W + 146, 109, 3 * W, 5 * L / 3});
  const int rx = 393, ry = 147;
  const struct {
    int index, x, y, width;
  } registers[] = {
      {REG_DP, rx, ry, 22},
      {REG_A, rx, ry + 3 * L / 2, 22},
      {REG_B, rx + 22, ry + 3 * L / 2, 22},
      {REG_X, rx, ry + 3 * L, 40},
      {REG_Y, rx, ry + 9 * L / 2, 40},
      {REG_U, rx, ry + 6 * L, 40},
      {REG_PC, rx, ry + 15 * L / 2, 40},
      {REG_S, rx, ry + 9 * L, 40},
      {REG_CC, rx, ry + 12 * L, 68},
  };
  for (const auto& r : registers)
    c.push_back({ID_REGISTER_FIRST + r.index, ControlKind::RegisterField, "", r.x, r.y, r.width, 18});
  return c;
}

std::string byte_total_text(uint32_t total) { return format("%7.7u", unsigned(total)); }

// ---- register fields ----

std::string format_register(uint64_t value, int bits, int radix) {
  if (radix == 16) {
    switch (bits) {
      case 8: return format("%2.2X", unsigned(value & 0xFF));
      case 16: return format("%4.4X", unsigned(value & 0xFFFF));
      case 32: return format("%8.8X", unsigned(value & 0xFFFFFFFF));
      case 64: return format("%16.16llX", static_cast<unsigned long long>(value));
      default: return {};
    }
  }
  if (radix == 2) {
    if (bits != 3 && bits != 8 && bits != 16 && bits != 32) return {};
    std::string text;
    for (int b = bits - 1; b >= 0; --b) text += (value >> b) & 1 ? '1' : '0';
    return text;
  }
  if (radix == 10) return format("%lld", static_cast<long long>(value));
  return {};
}

int sim_parse_number(const std::string& text, uint64_t& value, int radix) {
  value = 0;
  for (char c : text) {
    int d = hex_digit(c);
    if (d < 0 || d >= radix) return 1;
    value = value * uint64_t(radix) + uint64_t(d);
  }
  return 0;
}

std::string register_text(const Cpu& cpu, int index) {
  return format_register(cpu_get_register(cpu, index), cpu_register_bits(index), cpu_register_radix(index));
}

bool register_field_apply(Cpu& cpu, int index, const std::string& text) {
  int radix = cpu_register_radix(index);
  if (radix == 0) return false;
  uint64_t value = 0;
  if (sim_parse_number(text, value, radix) != 0) return false;
  cpu_set_register(cpu, index, uint32_t(value));
  return true;
}

// ---- disassembly list ----

bool DisassemblyList::among_first_eleven(uint16_t pc) const {
  for (int i = 0; i < list_rows - 1; ++i)
    if (addresses[i] == pc) return true;
  return false;
}

void DisassemblyList::fill_from(Engine& engine, int first_row) {
  for (int i = first_row; i < list_rows; ++i) {
    uint16_t next = list_line(engine.cpu, engine.board, addresses[i], lines[i]);
    if (i + 1 < list_rows) addresses[i + 1] = next;
  }
}

void DisassemblyList::refresh(Engine& engine, bool reset) {
  uint16_t pc = engine.cpu.pc;
  if (reset) engine.current_mark = 0;
  if (!among_first_eleven(pc)) addresses[0] = pc;
  fill_from(engine, 0);
  engine.current_mark = pc;
}

void DisassemblyList::after_step(Engine& engine, const StepResult& step) {
  uint16_t pc = engine.cpu.pc;
  if (step.executed && step.transfers == 0 && pc == addresses[list_rows - 1]) {
    // Scroll by one: every line moves up, a new last line follows.
    for (int i = 0; i + 1 < list_rows; ++i) addresses[i] = addresses[i + 1];
    uint16_t last = addresses[list_rows - 1];
    std::string dummy;
    addresses[list_rows - 1] = list_line(engine.cpu, engine.board, last, dummy);
  }
  refresh(engine, false);
}

RowStyle DisassemblyList::style(int row, const Engine& engine) const {
  if (row == selected) return RowStyle::Selected;
  uint16_t address = addresses[row];
  int bp = engine.sim_bp_find(address);
  if (address == engine.current_mark)
    return bp >= 0 ? RowStyle::CurrentAtBreak : RowStyle::Current;
  if (bp < 0) return RowStyle::Plain;
  return engine.breakpoints.entries[bp].state == BpState::Disabled ? RowStyle::DisabledBreak : RowStyle::Break;
}

int DisassemblyList::row_at(int x, int y, const PanelGeometry& g) const {
  if (x < g.list_x || x >= g.list_x + list_width * g.W || y < g.list_y || y >= g.list_y + list_rows * g.L)
    return -1;
  return (y - g.list_y) / g.L;
}

// ---- stack view ----

void StackView::follow(uint16_t s) {
  s_changed = shown_ && s != s_;
  s_ = s;
  shown_ = true;
  // Distances from base keep the test free of wrap-around at 0 and 0xFFFF.
  int from_base = (s - base) & 0xFFFF;
  if (top == base || from_base < 3 || from_base > 6) {
    base = uint16_t(s - 6);
    top = uint16_t(s + 2);
  }
}

std::string StackView::line_text(const Board& board, int k) const {
  uint16_t address = line_address(k);
  return format("%4.4X %2.2X", unsigned(address), unsigned(board.board_peek(address)));
}

// ---- memory grid ----

void MemoryGrid::set_base(uint32_t address) { base = uint32_t(clamp_position(int((address & 0xFFFF) / 16))) * 16; }

int MemoryGrid::clamp_position(int position) { return std::clamp(position, 0, memory_scroll_max); }

std::string MemoryGrid::address_text(int row) const { return format("%4.4X", unsigned((base + 16 * row) & 0xFFFF)); }

// "--" for a device that cannot be read without taking something from it.
std::string MemoryGrid::cell_text(const Board& board, int cell) const {
  std::optional<uint8_t> byte = board.board_look((base + uint32_t(cell)) & 0xFFFF);
  return byte ? format("%2.2X", unsigned(*byte)) : "--";
}

bool MemoryGrid::cell_editable(const Board& board, int cell) const {
  uint32_t a = (base + uint32_t(cell)) & 0xFFFF;
  return board.is_loadable(a) || Board::board_is_io_page(a);
}

std::string MemoryGrid::edit_cell(Board& board, int cell, const std::string& text) const {
  uint32_t a = (base + uint32_t(cell)) & 0xFFFF;
  uint64_t value = 0;
  if (!text.empty() && sim_parse_number(text.substr(0, 7), value, 16) == 0) board.board_write(a, uint8_t(value));
  return cell_text(board, cell);
}

// ---- lamps ----

const std::array<LampPlace, lamp_count> lamp_places = {{
    {Lamp::BreakOnIo, 17, 161, "Break on IO"},
    {Lamp::BreakOnIrq, 17, 178, "Break on IRQ"},
    {Lamp::Running, 17, 195, "Running"},
    {Lamp::Exceptions, 188, 63, "IRQ enable"},
    {Lamp::RomWritable, 188, 80, "ROM write"},
    {Lamp::IrqService, 89, 118, "IRQ"},
    {Lamp::FirqService, 109, 118, "FIRQ"},
    {Lamp::NmiService, 129, 118, "NMI"},
}};

bool lamp_on(Lamp lamp, const Engine& engine) {
  switch (lamp) {
    case Lamp::BreakOnIo: return engine.board.stop_on_device_access;
    case Lamp::BreakOnIrq: return engine.break_on_irq;
    case Lamp::Running: return engine.run_mode != RunMode::Stopped;
    case Lamp::Exceptions: return engine.exceptions_enabled;
    case Lamp::RomWritable: return engine.board.rom_writable;
    case Lamp::IrqService: return engine.in_service[IRQ_IRQ];
    case Lamp::FirqService: return engine.in_service[IRQ_FIRQ];
    case Lamp::NmiService: return engine.in_service[IRQ_NMI];
  }
  return false;
}

// ---- toolbar and pop-up menus ----

const std::array<ToolButton, 9> tool_buttons = {{
    {SIM_LOAD_NEW, "Load New"},
    {SIM_RELOAD, "Reload"},
    {SIM_BREAKPOINT_DIALOG, "Breakpoints"},
    {SIM_RESET, "Reset Simulator"},
    {SIM_RESET_CPU, "Reset CPU"},
    {SIM_RUN, "Run Slow"},
    {SIM_RUN_FAST, "Run Fast"},
    {SIM_STOP, "Halt"},
    {SIM_SETUP, "Simulator Setup"},
}};

const char* tool_tip(int id) {
  for (const auto& b : tool_buttons)
    if (b.id == id) return b.tip;
  return "Huh?";
}

bool tool_enabled(int id, RunMode mode, bool load_name_known) {
  if (mode != RunMode::Stopped) return id == SIM_STOP;
  if (id == SIM_STOP) return false;
  if (id == SIM_RELOAD) return load_name_known;
  return true;
}

std::vector<MenuEntry> list_menu(const Engine& engine, uint32_t address) {
  std::vector<MenuEntry> m;
  int bp = engine.sim_bp_find(address);
  if (bp >= 0) {
    m.push_back({POP_REMOVE_BREAK, "&Remove Break"});
    m.push_back({0, ""});
    if (engine.breakpoints.entries[bp].state == BpState::Disabled)
      m.push_back({POP_ENABLE_BREAK, "&Enable Break"});
    else
      m.push_back({POP_DISABLE_BREAK, "&Disable Break"});
  } else {
    m.push_back({POP_SET_BREAK, "&Set Break"});
  }
  m.push_back({0, ""});
  m.push_back({POP_GOTO_HERE, "&Goto here"});
  return m;
}

std::vector<MenuEntry> panel_menu(const Engine& engine) {
  std::vector<MenuEntry> m;
  m.push_back({SIM_BREAKPOINT_DIALOG, "&Breakpoint Table"});
  if (engine.board.stop_on_device_access)
    m.push_back({POP_NO_BREAK_ON_IO, "&Disable Break on IO"});
  else
    m.push_back({POP_BREAK_ON_IO, "&Enable Break on IO"});
  if (engine.break_on_irq)
    m.push_back({POP_NO_BREAK_ON_IRQ, "D&isable Break on IRQ"});
  else
    m.push_back({POP_BREAK_ON_IRQ, "E&nable Break on IRQ"});
  m.push_back({POP_CLEAR_ALL_BREAKS, "&Clear All Breaks"});
  m.push_back({0, ""});
  if (engine.run_mode != RunMode::Stopped) {
    m.push_back({SIM_STOP, "&Halt"});
  } else {
    m.push_back({SIM_LOAD_NEW, "Load &New"});
    if (!engine.load_file_name.empty()) m.push_back({SIM_RELOAD, format("Reload (%s)", engine.load_file_name.c_str())});
    m.push_back({0, ""});
    m.push_back({SIM_RESET, "&Reset Simulator"});
    m.push_back({SIM_RESET_CPU, "Reset &CPU"});
    m.push_back({SIM_RUN, "R&un"});
    m.push_back({SIM_RUN_FAST, "Run &Fast"});
    m.push_back({0, ""});
    m.push_back({SIM_SETUP, "Simulator Setup"});
  }
  return m;
}

bool list_menu_choice(Engine& engine, int id, uint32_t address) {
  switch (id) {
    case POP_SET_BREAK: engine.sim_bp_set(address, false); return true;
    case POP_REMOVE_BREAK: engine.sim_bp_remove(address); return true;
    case POP_ENABLE_BREAK: engine.sim_bp_enable(address); return true;
    case POP_DISABLE_BREAK: engine.sim_bp_disable(address); return true;
    case POP_GOTO_HERE: engine.goto_here(address); return true;
    default: return false;
  }
}

bool panel_menu_choice(Engine& engine, int id) {
  switch (id) {
    case POP_CLEAR_ALL_BREAKS: engine.clear_all_breaks(); return true;
    case POP_BREAK_ON_IO: engine.board.stop_on_device_access = true; return true;
    case POP_NO_BREAK_ON_IO: engine.board.stop_on_device_access = false; return true;
    case POP_BREAK_ON_IRQ: engine.break_on_irq = true; return true;
    case POP_NO_BREAK_ON_IRQ: engine.break_on_irq = false; return true;
    default: return false;
  }
}

// ---- breakpoint dialog ----

std::vector<std::string> breakpoint_lines(const BreakpointTable& table) {
  std::vector<std::string> lines;
  for (const auto& e : table.entries) {
    if (e.address < 0) continue;
    lines.push_back(format("%4.4X", unsigned(e.address)) + (e.state == BpState::Disabled ? " (Disabled)" : ""));
  }
  return lines;
}

std::optional<uint32_t> breakpoint_line_address(const std::string& line) {
  uint64_t value = 0;
  std::string digits = line.substr(0, line.find(' '));
  if (digits.empty() || sim_parse_number(digits, value, 16) != 0) return std::nullopt;
  return uint32_t(value);
}

}  // namespace zun
