// The menu tree of both menu bars as data, and the rules that decide which
// commands are usable from the workbench's state. The frame builds its menus
// from these tables and applies `menu_enabling` whenever a menu opens.
#include "workbench/core/workbench_core.h"

#include "common/format.h"

namespace zun::wb {

namespace {

constexpr MenuItem sep{0, "-", {}};
constexpr MenuItem sub(std::string_view text, MenuId id) { return {0, text, id}; }

constexpr MenuItem normal_bar[] = {
    sub("&File", MenuId::File),   sub("&Edit", MenuId::Edit),       sub("&Project", MenuId::Project),
    sub("&Build", MenuId::Build), sub("&Debug", MenuId::Debug),     sub("&Windows", MenuId::Windows),
    sub("&Help", MenuId::Help)};

constexpr MenuItem debug_bar[] = {
    sub("&File", MenuId::File),       sub("&Edit", MenuId::Edit),       sub("&Project", MenuId::Project),
    sub("&Debug", MenuId::Debugger),  sub("&Windows", MenuId::Windows), sub("&Help", MenuId::Help)};

constexpr MenuItem file_menu[] = {
    sub("&New File", MenuId::NewFile),
    sub("&Open File", MenuId::OpenFile),
    {cmd::close_file, "&Close File", {}},
    sep,
    {cmd::new_workspace, "New Workspace", {}},
    {cmd::open_workspace, "Open &Workspace", {}},
    {cmd::close_workspace, "Close Wor&kspace", {}},
    sep,
    {cmd::save, "&Save", {}},
    {cmd::save_as, "Save &As", {}},
    {cmd::save_all, "Save A&ll", {}},
    sep,
    {cmd::print, "&Print", {}},
    sep,
    sub("&Recent Workspaces", MenuId::RecentWorkspaces),
    sep,
    {cmd::exit, "&Exit", {}},
};

// Both file submenus list the start directories in the same order; the ids
// follow the order of StartDir, not the order of the items.
constexpr MenuItem new_file_menu[] = {
    {43158, "i&n Current", {}},
    sep,
    {43164, "in &Start files directory", {}},
    {43160, "in &Project directory", {}},
    {43159, "in &Workspace directory", {}},
    {43161, "in &Config files directory", {}},
    {43163, "in &Include files directory", {}},
    {43162, "in &Library source directory", {}},
};

constexpr MenuItem open_file_menu[] = {
    {43151, "i&n Current", {}},
    sep,
    {43157, "in &Start files directory", {}},
    {43153, "in &Project directory", {}},
    {43152, "in &Workspace directory", {}},
    {43154, "in &Config files directory", {}},
    {43156, "in &Include files directory", {}},
    {43155, "in &Library source directory", {}},
};

constexpr MenuItem recent_menu[] = {{cmd::recent_first, "(Empty)", {}}};

constexpr MenuItem edit_menu[] = {
    {cmd::cut, "Cu&t", {}},
    {cmd::copy, "&Copy", {}},
    {cmd::paste, "&Paste", {}},
    {cmd::clear, "&Delete", {}},
    sep,
    {cmd::select_all, "Select &All", {}},
    sep,
    {cmd::goto_line_dialog, "&Go To Line...", {}},
    {cmd::find_replace, "&Find/Replace...", {}},
    sep,
    {cmd::find_in_files, "F&ind in Files...", {}},
    {cmd::stop_search, "&Stop search...", {}},
};

constexpr MenuItem project_menu[] = {
    {cmd::insert_files, "Insert &Files into Project", {}},
    {cmd::close_project, "&Close Active Project", {}},
    {cmd::set_active_project, "S&et Active Project", {}},
    sep,
    {cmd::project_settings, "&Settings", {}},
    sep,
    {cmd::insert_new_project, "&Insert New Project into Workspace", {}},
    {cmd::insert_project, "Insert &Project into Workspace", {}},
    sep,
    {cmd::view_project_manager, "&View Project Manager", {}},
};

constexpr MenuItem build_menu[] = {
    {cmd::make, "&Make", {}},
    {cmd::build, "&Build", {}},
    {cmd::build_all, "Build &All", {}},
    sep,
    sub("&Configuration", MenuId::Configuration),
    sep,
    {cmd::clean, "C&lean", {}},
};

constexpr MenuItem configuration_menu[] = {
    {cmd::config_debug, "&Debug", {}},
    {cmd::config_final, "&Final", {}},
};

constexpr MenuItem debug_menu[] = {
    sub("&Source Level", MenuId::SourceLevel),
    sep,
    {cmd::machine_level, "&Machine Level", {}},
    sep,
    sub("&Open Terminal", MenuId::OpenTerminal),
};

constexpr MenuItem source_level_menu[] = {
    {cmd::run_simulator, "&Run Simulator", {}},
    {cmd::select_sim_config, "&Select Simulator Configuration", {}},
    {cmd::edit_sim_config, "&Edit Simulator Configuration", {}},
    {cmd::clear_sim_config, "&Clear Simulator Configuration", {}},
};

constexpr MenuItem debugger_menu[] = {
    {cmd::dbg_next, "&Next", {}},
    {cmd::dbg_step_into, "Step Into", {}},
    {cmd::dbg_step_out, "Step Out", {}},
    sep,
    {cmd::dbg_run, "Run", {}},
    {cmd::dbg_run_no_breaks, "Run No Breaks", {}},
    {cmd::dbg_break, "Break Running Program", {}},
    sep,
    {cmd::dbg_restart, "Restart", {}},
    sep,
    {cmd::dbg_breakpoints, "Breakpoints", {}},
    sep,
    {cmd::dbg_close, "&Close", {}},
    sep,
    sub("&Open Terminal", MenuId::OpenTerminal),
};

constexpr MenuItem windows_menu[] = {
    {cmd::cascade, "&Cascade", {}},
    {cmd::tile, "&Tile", {}},
    {cmd::close_all, "Close &All", {}},
};

constexpr MenuItem help_menu[] = {
    {cmd::help, "Help on ZUN", {}},
    sep,
    {cmd::about, "&About", {}},
};

// Commands an editor must enable for itself; greyed for any other window.
constexpr int editor_items[] = {cmd::save,       cmd::save_as,      cmd::close_file,       cmd::print,
                                cmd::cut,        cmd::copy,         cmd::paste,            cmd::clear,
                                cmd::select_all, cmd::find_replace, cmd::goto_line_dialog};

// The items the debugger's run state switches.
constexpr int debugger_items[] = {cmd::dbg_run,           cmd::dbg_next,    cmd::dbg_step_into,
                                  cmd::dbg_step_out,      cmd::dbg_restart, cmd::dbg_breakpoints,
                                  cmd::dbg_run_no_breaks, cmd::dbg_close,   cmd::dbg_break};

void set_all(CommandStates& s, std::span<const int> ids, bool on) {
  for (int id : ids) s.set(id, on);
}

// Save All saves the editors (projects and workspaces are written as they
// change), so it stays greyed without an editor; Set Active Project has
// nothing to offer without a workspace.
void apply_project_rules(const WorkbenchState& st, CommandStates& s) {
  const int ws_dir[] = {43159, 43152};
  if (st.project_open) {
    set_all(s, std::array{cmd::close_project, cmd::set_active_project, cmd::project_settings,
                          cmd::insert_new_project, cmd::insert_project, cmd::insert_files, cmd::build,
                          cmd::build_all, cmd::clean, 43160, 43153, 43159, 43152},
            true);
    s.set(cmd::config_debug, st.active_config != Config::Debug);
    s.set(cmd::config_final, st.active_config != Config::Final);
    s.set(cmd::make, st.top_editor_kind && is_makeable_kind(*st.top_editor_kind));
    return;
  }
  set_all(s, std::array{cmd::make, cmd::build, cmd::build_all, cmd::clean, cmd::insert_files,
                        cmd::config_debug, cmd::config_final},
          false);
  if (st.workspace_open) {
    s.set(cmd::close_project, false);
    s.set(cmd::project_settings, false);
    set_all(s, std::array{cmd::insert_project, cmd::insert_new_project, cmd::set_active_project}, true);
    set_all(s, ws_dir, true);
  } else {
    set_all(s, std::array{cmd::close_project, cmd::insert_project, cmd::insert_new_project,
                          cmd::project_settings, cmd::set_active_project, cmd::save_all},
            false);
  }
}

void apply_debugger_rules(const WorkbenchState& st, CommandStates& s) {
  if (!st.debugger_active) return;
  if (st.target_running) {
    set_all(s, debugger_items, false);
    s.set(cmd::dbg_break, true);
  } else if (!st.debugger_has_model) {
    set_all(s, debugger_items, false);
    set_all(s, std::array{cmd::dbg_step_into, cmd::dbg_restart, cmd::dbg_close}, true);
  } else {
    set_all(s, debugger_items, true);
    s.set(cmd::dbg_break, false);
  }
}

// The active editor enables its own items after the frame's rules.
void apply_editor_rules(const WorkbenchState& st, CommandStates& s) {
  if (!st.active_is_editor) return;
  if (st.debugger_active) {
    set_all(s, std::array{cmd::copy, cmd::find_replace, cmd::goto_line_dialog}, true);
    set_all(s, std::array{cmd::cut, cmd::paste, cmd::clear, cmd::select_all, cmd::save, cmd::save_as,
                          cmd::close_file, cmd::print},
            false);
  } else {
    set_all(s, std::array{cmd::cut, cmd::copy, cmd::clear}, st.editor_has_selection);
    s.set(cmd::paste, st.clipboard_has_text);
    s.set(cmd::save, st.editor_modified);
    set_all(s, std::array{cmd::select_all, cmd::find_replace, cmd::goto_line_dialog, cmd::save_as,
                          cmd::close_file, cmd::print},
            true);
  }
  s.set(cmd::save_all, true);
}

}  // namespace

std::span<const MenuItem> menu_items(MenuId menu) {
  switch (menu) {
    case MenuId::NormalBar: return normal_bar;
    case MenuId::DebugBar: return debug_bar;
    case MenuId::File: return file_menu;
    case MenuId::NewFile: return new_file_menu;
    case MenuId::OpenFile: return open_file_menu;
    case MenuId::RecentWorkspaces: return recent_menu;
    case MenuId::Edit: return edit_menu;
    case MenuId::Project: return project_menu;
    case MenuId::Build: return build_menu;
    case MenuId::Configuration: return configuration_menu;
    case MenuId::Debug: return debug_menu;
    case MenuId::SourceLevel: return source_level_menu;
    case MenuId::OpenTerminal: return {};  // filled from the ports found
    case MenuId::Debugger: return debugger_menu;
    case MenuId::Windows: return windows_menu;
    case MenuId::Help: return help_menu;
  }
  return {};
}

StartDir open_file_start_dir(int id) {
  int n = id >= cmd::new_file_first ? id - cmd::new_file_first : id - cmd::open_file_first;
  return static_cast<StartDir>(n);
}

std::string terminal_port_text(int port_index) { return format("COM&%d", port_index + 1); }

std::string serial_port_path(int port_index) {
  static constexpr const char* families[] = {"/dev/ttyS%d", "/dev/ttyUSB%d", "/dev/ttyACM%d"};
  if (port_index < 0 || port_index >= 64 * 3) return {};
  return format(families[port_index / 64], port_index % 64);
}

std::string recent_item_text(int slot, std::string_view path) {
  return format("%d: %.*s", slot + 1, static_cast<int>(path.size()), path.data());
}

bool CommandStates::enabled(int id) const {
  auto it = state_.find(id);
  return it == state_.end() || it->second;
}

CommandStates menu_enabling(const WorkbenchState& st) {
  CommandStates s;
  set_all(s, editor_items, false);
  set_all(s, std::array{43160, 43153, 43159, 43152}, false);  // project and workspace directories
  s.set(cmd::save_all, st.editor_count > 0);
  s.set(cmd::find_in_files, !st.find_running);
  s.set(cmd::stop_search, st.find_running);
  s.set(cmd::view_project_manager, !st.project_manager_shown);
  apply_project_rules(st, s);
  bool ws = st.workspace_open;
  s.set(cmd::new_workspace, !ws);
  s.set(cmd::open_workspace, !ws);
  s.set(cmd::close_workspace, ws);
  if (ws) set_all(s, std::array{43159, 43152}, true);
  s.set(cmd::machine_level, !st.simulator_exists);
  apply_debugger_rules(st, s);
  apply_editor_rules(st, s);
  // Make needs a project as much as Build does, and nothing that starts a
  // child program may start while one is running; nor may the project or
  // the workspace that a running build works in close or change.
  s.set(cmd::make, st.project_open && !st.debugger_active && st.top_editor_kind &&
                       is_makeable_kind(*st.top_editor_kind));
  if (st.tool_running)
    set_all(s, std::array{cmd::make, cmd::build, cmd::build_all, cmd::clean, cmd::update_dependencies,
                          cmd::find_in_files, cmd::new_workspace, cmd::open_workspace, cmd::close_workspace,
                          cmd::close_project, cmd::set_active_project, cmd::insert_new_project,
                          cmd::insert_project},
            false);
  return s;
}

MenuId active_menu_bar(const WorkbenchState& state) {
  return state.debugger_active ? MenuId::DebugBar : MenuId::NormalBar;
}

}  // namespace zun::wb
