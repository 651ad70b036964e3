// What the simulator's panels show and do, without a window: the layout for
// the board's CPU kind, register texts, the 12-line list, the stack window,
// memory cell edits, pop-up menus and the breakpoint dialog's lines.
#include "tests/board/engine_fixture.h"

#include "debugger/simwin/panels.h"

namespace zun {
namespace {

constexpr uint8_t NOP = 0x12, BRA = 0x20;

TEST(SimPanels, LayoutExistsOnlyForTheMc6809) {
  EXPECT_TRUE(layout_for_kind(17));
  EXPECT_FALSE(layout_for_kind(16));
  EXPECT_TRUE(control_layout(18, 13, 8).empty());
  auto c = control_layout(17, 13, 8);
  auto find = [&](int id) {
    for (const auto& p : c)
      if (p.id == id) return p;
    return ControlPlace{};
  };
  EXPECT_EQ(c.size(), 16u + 4 + 1 + 64 + 1 + 1 + 3 + 3 + 1 + 9);
  // PC at 147 + 15L/2, CC 68 wide, Apply at 13L + 153, cell (3,15) by 2L columns.
  EXPECT_EQ(find(1024).y, 147 + 15 * 13 / 2);
  EXPECT_EQ(find(1026).width, 68);
  EXPECT_EQ(find(781).y, 13 * 13 + 153);
  EXPECT_EQ(find(256 + 63).x, 55 + 2 * 13 * 15);
  EXPECT_EQ(find(256 + 63).y, 358 + 3 * 13 * 4 / 2);
  EXPECT_EQ(find(1101).text, "mem");
}

// The byte counter shows seven digits at least, and its window holds the
// ten of the largest count without touching a control, whatever the font.
TEST(SimPanels, TheByteCounterFitsItsLargestCount) {
  EXPECT_EQ(byte_total_text(42879), "0042879");
  EXPECT_EQ(byte_total_text(0x80000000u), "2147483648");
  EXPECT_EQ(byte_total_text(0xFFFFFFFFu), "4294967295");
  for (auto [L, W] : {std::pair{13, 8}, std::pair{16, 8}, std::pair{14, 7}, std::pair{12, 6}}) {
    PanelGeometry g;
    g.L = L;
    g.W = W;
    const PanelRect box = g.byte_total_box();
    EXPECT_LE(box.x, g.byte_total_x());
    EXPECT_GE(box.x + box.width, g.byte_total_x() + 10 * W) << W;
    EXPECT_GE(box.y + box.height, g.byte_total_y + L);
    for (const ControlPlace& c : control_layout(17, L, W)) {
      const bool apart = c.x + c.width <= box.x || box.x + box.width <= c.x || c.y + c.height <= box.y ||
                         box.y + box.height <= c.y;
      EXPECT_TRUE(apart) << "control " << c.id << " at L " << L << " W " << W;
    }
  }
}

TEST(SimPanels, RegisterTextsAndNumbers) {
  EXPECT_EQ(format_register(0xA5, 8, 2), "10100101");
  EXPECT_EQ(format_register(5, 3, 2), "101");
  EXPECT_EQ(format_register(0x1F, 8, 16), "1F");
  EXPECT_EQ(format_register(0xBEEF, 16, 16), "BEEF");
  EXPECT_EQ(format_register(0x123456789ABCDEFull, 64, 16), "0123456789ABCDEF");
  EXPECT_EQ(format_register(5, 7, 2), "");
  EXPECT_EQ(format_register(5, 8, 8), "");
  uint64_t v = 99;
  EXPECT_EQ(sim_parse_number("", v, 16), 0);
  EXPECT_EQ(v, 0u);
  EXPECT_EQ(sim_parse_number("fA0", v, 16), 0);
  EXPECT_EQ(v, 0xFA0u);
  EXPECT_EQ(sim_parse_number("102", v, 2), 1);
  EXPECT_EQ(sim_parse_number("12G", v, 16), 1);
}

using SimList = EngineTest;

TEST_F(SimList, TwelveLinesOfThirtyOneFollowPcAndWrapAtTheTop) {
  poke(0xFFF8, {NOP, NOP, NOP, NOP, NOP, NOP, NOP, NOP});
  poke(0x0000, {NOP, NOP, NOP, NOP, NOP});
  cpu.pc = 0xFFF8;
  DisassemblyList list;
  list.refresh(engine, true);
  for (const auto& line : list.lines) EXPECT_EQ(line.size(), 31u) << line;
  EXPECT_EQ(list.lines[0].substr(0, 8), "  FFF8 N");
  EXPECT_EQ(list.addresses[8], 0x0000);  // past 0xFFFF the list goes on at 0
  EXPECT_EQ(engine.current_mark, 0xFFF8);
  // Stepping inside the first 11 lines keeps the list; reaching the last
  // line scrolls it by one.
  for (int i = 0; i < 11; ++i) {
    engine.command(SIM_STEP);
    list.after_step(engine, engine.last_step);
  }
  EXPECT_EQ(cpu.pc, 0x0003);
  EXPECT_EQ(list.addresses[0], 0xFFF9);
  EXPECT_EQ(list.addresses[10], 0x0003);
  EXPECT_EQ(engine.current_mark, 0x0003);
}

TEST_F(SimList, ListReadsDevicesWithoutTouchingThem) {
  // Code shown from the I/O page must not take the ACIA's received byte.
  board.onboard_connect(int(Onboard::Acia1), -1);
  board.acia[1].activity = 2;
  board.acia[1].receive('x');
  cpu.pc = 0xE028;
  DisassemblyList list;
  list.refresh(engine, false);
  EXPECT_TRUE(board.acia[1].status & Mc6850::RDRF);
}

TEST_F(SimList, RowStylesAndPopupFollowTheBreakpoints) {
  poke(0x1000, {NOP, NOP, NOP, BRA, 0xFB});
  cpu.pc = 0x1000;
  DisassemblyList list;
  list.refresh(engine, false);
  EXPECT_EQ(list.style(0, engine), RowStyle::Current);
  EXPECT_EQ(list_menu(engine, 0x1001)[0].text, "&Set Break");
  ASSERT_TRUE(list_menu_choice(engine, POP_SET_BREAK, 0x1001));
  EXPECT_EQ(list.style(1, engine), RowStyle::Break);
  list_menu_choice(engine, POP_DISABLE_BREAK, 0x1001);
  EXPECT_EQ(list.style(1, engine), RowStyle::DisabledBreak);
  auto menu = list_menu(engine, 0x1001);
  ASSERT_EQ(menu.size(), 5u);
  EXPECT_EQ(menu[0].text, "&Remove Break");
  EXPECT_EQ(menu[2].text, "&Enable Break");
  EXPECT_EQ(menu[4].text, "&Goto here");
  engine.sim_bp_set(0x1000, false);
  EXPECT_EQ(list.style(0, engine), RowStyle::CurrentAtBreak);
  list.selected = 0;
  EXPECT_EQ(list.style(0, engine), RowStyle::Selected);
  EXPECT_EQ(breakpoint_lines(engine.breakpoints), (std::vector<std::string>{"1001 (Disabled)", "1000"}));
  EXPECT_EQ(breakpoint_line_address("1001 (Disabled)"), 0x1001u);
}

TEST_F(SimList, PanelMenuFollowsRunModeAndOptions) {
  auto texts = [](const std::vector<MenuEntry>& m) {
    std::vector<std::string> t;
    for (const auto& e : m) t.push_back(e.text);
    return t;
  };
  EXPECT_EQ(texts(panel_menu(engine)),
            (std::vector<std::string>{"&Breakpoint Table", "&Enable Break on IO", "E&nable Break on IRQ",
                                      "&Clear All Breaks", "", "Load &New", "", "&Reset Simulator", "Reset &CPU",
                                      "R&un", "Run &Fast", "", "Simulator Setup"}));
  panel_menu_choice(engine, POP_BREAK_ON_IO);
  panel_menu_choice(engine, POP_BREAK_ON_IRQ);
  engine.load_file_name = "echo.s19";
  engine.run_mode = RunMode::Fast;
  EXPECT_EQ(texts(panel_menu(engine)),
            (std::vector<std::string>{"&Breakpoint Table", "&Disable Break on IO", "D&isable Break on IRQ",
                                      "&Clear All Breaks", "", "&Halt"}));
  engine.run_mode = RunMode::Stopped;
  EXPECT_EQ(panel_menu(engine)[6].text, "Reload (echo.s19)");
  panel_menu_choice(engine, POP_CLEAR_ALL_BREAKS);
  EXPECT_FALSE(engine.break_on_irq || board.stop_on_device_access);
  // Toolbar: only Halt while running; Reload needs a remembered load file.
  EXPECT_TRUE(tool_enabled(SIM_STOP, RunMode::Slow, true));
  EXPECT_FALSE(tool_enabled(SIM_STEP, RunMode::Slow, true));
  EXPECT_FALSE(tool_enabled(SIM_STOP, RunMode::Stopped, true));
  EXPECT_FALSE(tool_enabled(SIM_RELOAD, RunMode::Stopped, false));
  EXPECT_STREQ(tool_tip(SIM_SETUP), "Simulator Setup");
  EXPECT_STREQ(tool_tip(773), "Huh?");
}

TEST(SimPanels, StackWindowKeepsItsPlaceUntilSLeavesIt) {
  StackView v;
  v.follow(0x0800);
  EXPECT_EQ(v.base, 0x07FA);
  EXPECT_EQ(v.arrow_row(), 6);
  EXPECT_FALSE(v.s_changed);
  v.follow(0x07FD);  // base + 3: kept
  EXPECT_EQ(v.base, 0x07FA);
  EXPECT_EQ(v.arrow_row(), 3);
  EXPECT_TRUE(v.s_changed);
  v.follow(0x07FD);
  EXPECT_FALSE(v.s_changed);
  v.follow(0x07FC);  // below base + 3: recentred
  EXPECT_EQ(v.base, 0x07F6);
  v.follow(0x0002);  // near 0 the window wraps rather than jumps
  EXPECT_EQ(v.base, 0xFFFC);
  EXPECT_EQ(v.line_address(4), 0x0000);
}

using SimMemory = EngineTest;

TEST_F(SimMemory, CellEditsWriteOnceAndShowWhatMemoryHolds) {
  MemoryGrid grid;
  grid.set_base(0x1234);
  EXPECT_EQ(grid.base, 0x1230u);
  EXPECT_EQ(grid.address_text(3), "1260");
  EXPECT_EQ(grid.edit_cell(board, 2, "a5"), "A5");
  EXPECT_EQ(board.board_peek(0x1232), 0xA5);
  EXPECT_EQ(grid.edit_cell(board, 2, "1G"), "A5");  // a bad digit writes nothing
  EXPECT_TRUE(grid.cell_editable(board, 0));
  // ROM that is not writable keeps its byte: the cell shows it again.
  grid.set_base(0xE100);
  EXPECT_FALSE(grid.cell_editable(board, 0));
  EXPECT_EQ(grid.edit_cell(board, 0, "12"), "FF");
  board.rom_writable = true;
  EXPECT_TRUE(grid.cell_editable(board, 0));
  EXPECT_EQ(grid.edit_cell(board, 0, "12"), "12");
  // A device register shows what the board reads back: the ACIA's status
  // after a master reset, not the byte typed.
  board.onboard_connect(int(Onboard::Acia1), -1);
  board.acia[1].activity = 1;
  grid.set_base(0xE020);
  EXPECT_TRUE(grid.cell_editable(board, 8));
  EXPECT_EQ(grid.edit_cell(board, 8, "03"), "02");
  EXPECT_EQ(MemoryGrid::clamp_position(5000), 4092);
  EXPECT_EQ(MemoryGrid::clamp_position(-3), 0);
  grid.set_base(0xFFFF);
  EXPECT_EQ(grid.base, 4092u * 16);
}

// Outside devices show what a read would give them, asked without taking
// anything from them; one that cannot be read so shows "--".
TEST_F(SimMemory, OutsideDevicesShowWhatTheirReadsWouldGive) {
  auto open = [&](tovrel::DeviceKind kind, uint32_t base) {
    int slot = board.dev_open(uint32_t(kind), base, 0);
    return board.slots[slot].handle;
  };
  tovrel::find<tovrel::Switches>(open(tovrel::DeviceKind::Switches, 0xE000))->set(0x5A);
  auto* terminal = tovrel::find<tovrel::SerialTerminal>(open(tovrel::DeviceKind::Terminal, 0xE004));
  terminal->set_option(1);
  terminal->type_text("k");
  auto* probe = tovrel::find<tovrel::Probe>(open(tovrel::DeviceKind::Probe, 0xE008));
  probe->queue(1, 0x33);
  probe->set_default(2, 0x144);
  MemoryGrid grid;
  grid.set_base(0xE000);
  EXPECT_EQ(grid.cell_text(board, 0), "5A");
  EXPECT_EQ(grid.cell_text(board, 1), "00");  // beyond the switches' one register
  EXPECT_EQ(grid.cell_text(board, 4), "--");  // reading would take the typed key
  EXPECT_EQ(grid.cell_text(board, 5), "00");
  EXPECT_EQ(grid.cell_text(board, 9), "33");
  EXPECT_EQ(grid.cell_text(board, 10), "44");
  EXPECT_EQ(grid.cell_text(board, 0x10), "00");  // nothing attached: a read gives 0
  EXPECT_TRUE(probe->log.empty());
  EXPECT_EQ(terminal->pending_input(), 1u);
  // The cells show what the CPU then reads.
  uint8_t byte = 0;
  EXPECT_EQ(board.board_read(0xE009, byte), 0);
  EXPECT_EQ(byte, 0x33);
  EXPECT_EQ(board.board_read(0xE000, byte), 0);
  EXPECT_EQ(byte, 0x5A);
  // A chip's outside side is shown the same way: the floppy latch's switches.
  int32_t latch = open(tovrel::DeviceKind::Switches, 0xE060);
  board.onboard_connect(int(Onboard::FdcLatch), latch);
  tovrel::find<tovrel::Switches>(latch)->set(0x81);
  grid.set_base(0xE060);
  EXPECT_EQ(grid.cell_text(board, 0), "81");
  EXPECT_EQ(grid.edit_cell(board, 0, "12"), "81");
}

}  // namespace
}  // namespace zun
