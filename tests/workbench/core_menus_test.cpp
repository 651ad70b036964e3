// Menu tree and enabling rules: each row is a workbench state with the
// commands that must be usable and those that must be greyed in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "workbench/core/workbench_core.h"

using namespace zun::wb;

namespace {

std::vector<std::string> texts(MenuId m) {
  std::vector<std::string> out;
  for (const MenuItem& it : menu_items(m)) out.emplace_back(it.text);
  return out;
}

struct Row {
  const char* name;
  WorkbenchState state;
  std::vector<int> on;
  std::vector<int> off;
};

WorkbenchState with(auto fn) {
  WorkbenchState s;
  fn(s);
  return s;
}

}  // namespace

TEST(WbMenuTree, BarsAndFileMenuInOrder) {
  EXPECT_EQ(texts(MenuId::NormalBar),
            (std::vector<std::string>{"&File", "&Edit", "&Project", "&Build", "&Debug", "&Windows", "&Help"}));
  EXPECT_EQ(texts(MenuId::DebugBar),
            (std::vector<std::string>{"&File", "&Edit", "&Project", "&Debug", "&Windows", "&Help"}));
  EXPECT_EQ(menu_items(MenuId::DebugBar)[3].sub, MenuId::Debugger);
  EXPECT_EQ(texts(MenuId::File),
            (std::vector<std::string>{"&New File", "&Open File", "&Close File", "-", "New Workspace",
                                      "Open &Workspace", "Close Wor&kspace", "-", "&Save", "Save &As",
                                      "Save A&ll", "-", "&Print", "-", "&Recent Workspaces", "-", "&Exit"}));
  std::vector<int> open_ids;
  for (const MenuItem& it : menu_items(MenuId::OpenFile)) open_ids.push_back(it.id);
  EXPECT_EQ(open_ids, (std::vector<int>{43151, 0, 43157, 43153, 43152, 43154, 43156, 43155}));
  EXPECT_EQ(menu_items(MenuId::Edit)[11].id, 43053);
  EXPECT_EQ(menu_items(MenuId::Debugger)[5].text, "Run No Breaks");
  EXPECT_EQ(menu_items(MenuId::Debugger)[5].id, 43144);
}

TEST(WbMenuTree, GeneratedItemTexts) {
  EXPECT_EQ(terminal_port_text(2), "COM&3");
  EXPECT_EQ(recent_item_text(0, "/w/a.w09"), "1: /w/a.w09");
  EXPECT_EQ(serial_port_path(0), "/dev/ttyS0");
  EXPECT_EQ(serial_port_path(63), "/dev/ttyS63");
  EXPECT_EQ(serial_port_path(64), "/dev/ttyUSB0");
  EXPECT_EQ(serial_port_path(130), "/dev/ttyACM2");
  EXPECT_EQ(serial_port_path(192), "");
  EXPECT_EQ(open_file_start_dir(43151), StartDir::Current);
  EXPECT_EQ(open_file_start_dir(43157), StartDir::StartFiles);
  EXPECT_EQ(open_file_start_dir(43160), StartDir::Project);
  EXPECT_EQ(open_file_start_dir(43162), StartDir::LibrarySource);
}

TEST(WbMenuEnabling, Table) {
  const std::vector<Row> rows = {
      {"nothing open", {},
       {43034, 43035, 43151, 43158, 43039, 43031, 43052, 43096, 43098, 43117},
       {43036, 43020, 43022, 43019, 43024, 43044, 43045, 43046, 43047, 43048, 43049, 43054, 43023, 43053,
        43108, 43109, 43110, 43118, 43119, 43037, 43038, 43114, 43116, 43111, 43113, 43153, 43152, 43160,
        43159, 43120}},
      {"workspace without project", with([](WorkbenchState& s) { s.workspace_open = true; }),
       {43036, 43113, 43111, 43120, 43152, 43159},
       {43034, 43035, 43114, 43116, 43109, 43153, 43160, 43023}},
      {"project in Debug", with([](WorkbenchState& s) { s.workspace_open = s.project_open = true; }),
       {43038, 43109, 43110, 43118, 43119, 43114, 43116, 43153, 43160, 43152},
       {43037, 43108, 43023}},
      {"project in Final", with([](WorkbenchState& s) {
         s.project_open = true;
         s.active_config = Config::Final;
       }),
       {43037}, {43038}},
      {"C editor on top with project", with([](WorkbenchState& s) {
         s.project_open = true;
         s.editor_count = 1;
         s.active_is_editor = true;
         s.top_editor_kind = file_kind::c_source;
       }),
       {43108, 43022, 43019, 43024, 43048, 43049, 43054, 43023},
       {43020, 43044, 43045, 43047, 43046}},
      {"linker script editor on top", with([](WorkbenchState& s) {
         s.project_open = true;
         s.editor_count = 1;
         s.active_is_editor = true;
         s.top_editor_kind = file_kind::linker_script;
       }),
       {}, {43108}},
      {"assembler editor without project", with([](WorkbenchState& s) {
         s.editor_count = 1;
         s.active_is_editor = true;
         s.top_editor_kind = file_kind::assembler;
       }),
       {43023}, {43108, 43109}},
      {"modified editor with selection and clipboard", with([](WorkbenchState& s) {
         s.editor_count = 2;
         s.active_is_editor = true;
         s.editor_modified = s.editor_has_selection = s.clipboard_has_text = true;
       }),
       {43020, 43044, 43045, 43047, 43046}, {}},
      {"output window active, editors open, no workspace", with([](WorkbenchState& s) { s.editor_count = 1; }),
       {}, {43023, 43020, 43019, 43044}},
      {"find in files running", with([](WorkbenchState& s) { s.find_running = true; }),
       {43053}, {43052}},
      {"project manager shown", with([](WorkbenchState& s) { s.project_manager_shown = true; }),
       {}, {43117}},
      {"simulator open", with([](WorkbenchState& s) { s.simulator_exists = true; }), {}, {43098}},
      {"tool running", with([](WorkbenchState& s) {
         s.project_open = true;
         s.tool_running = true;
         s.active_is_editor = true;
         s.top_editor_kind = file_kind::c_source;
       }),
       {43116}, {43108, 43109, 43110, 43118, 43052, 43034, 43035, 43036, 43114, 43120, 43111, 43113}},
      {"debugger, target running", with([](WorkbenchState& s) {
         s.debugger_active = s.target_running = true;
       }),
       {43147}, {43138, 43131, 43132, 43133, 43144, 43137, 43142, 43139}},
      {"debugger without a program model", with([](WorkbenchState& s) { s.debugger_active = true; }),
       {43132, 43137, 43139}, {43131, 43133, 43138, 43144, 43142, 43147}},
      // Stopped in source or where no source line holds the PC (after a
      // reset, in the runtime): every run command works on the model.
      {"debugger stopped with a program model", with([](WorkbenchState& s) {
         s.debugger_active = s.debugger_has_model = true;
       }),
       {43131, 43132, 43133, 43138, 43144, 43137, 43142, 43139}, {43147}},
      {"editor while debugging", with([](WorkbenchState& s) {
         s.project_open = s.debugger_active = s.debugger_has_model = true;
         s.active_is_editor = s.editor_modified = s.editor_has_selection = true;
         s.editor_count = 1;
         s.top_editor_kind = file_kind::c_source;
       }),
       {43045, 43049, 43054, 43023}, {43044, 43046, 43047, 43048, 43020, 43022, 43019, 43024, 43108}},
  };
  for (const Row& row : rows) {
    CommandStates cs = menu_enabling(row.state);
    for (int id : row.on) EXPECT_TRUE(cs.enabled(id)) << row.name << ": " << id << " should be enabled";
    for (int id : row.off) EXPECT_FALSE(cs.enabled(id)) << row.name << ": " << id << " should be greyed";
  }
}

TEST(WbMenuEnabling, DebuggerSwitchesTheBar) {
  WorkbenchState s;
  EXPECT_EQ(active_menu_bar(s), MenuId::NormalBar);
  s.debugger_active = true;
  EXPECT_EQ(active_menu_bar(s), MenuId::DebugBar);
}
