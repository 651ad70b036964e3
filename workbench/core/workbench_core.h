// The workbench's rules that need no window system: command ids and the menu
// tree, which commands are usable in a given state, the output window's line
// store, the reading of tool message lines, file kinds, backup copies, and
// the splitting of a tool command line. The Qt views read and drive these.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zun::wb {

inline constexpr std::string_view product_title = "ZUN09 - for KY09 (MC6809)";

// ---- command ids (menus.cpp) ----
// Window-command numbers; several cross into later parts of the workbench
// (terminal, simulator, debugger), so they keep their historical values.
namespace cmd {
inline constexpr int open_file_accel = 40025;
inline constexpr int save_accel = 40026, find_accel = 40027;
inline constexpr int key_left = 40030, key_up = 40031, key_down = 40032, key_right = 40033;
inline constexpr int open_terminal = 41000, terminal_port_first = 41001, terminal_port_last = 41256;
inline constexpr int query_modified = 43003, goto_line = 43004, debug_line = 43005;
inline constexpr int reload_load_file = 43009, output_window = 43010, close_output = 43015;
inline constexpr int load_into_child = 43016;
inline constexpr int close_file = 43019, save = 43020, save_as = 43022, save_all = 43023;
inline constexpr int print = 43024, exit = 43028, about = 43030, help = 43031;
inline constexpr int redo = 43032, undo = 43043;
inline constexpr int new_workspace = 43034, open_workspace = 43035, close_workspace = 43036;
inline constexpr int config_debug = 43037, config_final = 43038;
inline constexpr int cascade = 43039, tile = 43040, arrange_icons = 43041, close_all = 43042;
inline constexpr int cut = 43044, copy = 43045, paste = 43046, clear = 43047, select_all = 43048;
inline constexpr int find_replace = 43049, find_in_files = 43052, stop_search = 43053;
inline constexpr int goto_line_dialog = 43054, show_position = 43059, shows_path = 43060;
inline constexpr int save_if_named = 43061;
inline constexpr int select_sim_config = 43087, clear_sim_config = 43089, edit_sim_config = 43090;
inline constexpr int run_simulator = 43096, machine_level = 43098, simulator_window = 43099;
inline constexpr int make = 43108, build = 43109, build_all = 43110;
inline constexpr int insert_new_project = 43111, insert_project = 43113, close_project = 43114;
inline constexpr int update_dependencies = 43115, project_settings = 43116;
inline constexpr int view_project_manager = 43117, clean = 43118, insert_files = 43119;
inline constexpr int set_active_project = 43120;
inline constexpr int dbg_next = 43131, dbg_step_into = 43132, dbg_step_out = 43133;
inline constexpr int dbg_restart = 43137, dbg_run = 43138, dbg_close = 43139;
inline constexpr int dbg_breakpoints = 43142, dbg_breakpoints_dialog = 43143;
inline constexpr int dbg_run_no_breaks = 43144, dbg_break = 43147;
inline constexpr int recreate_simulator = 43150;
inline constexpr int open_file_first = 43151, open_file_last = 43157;
inline constexpr int new_file_first = 43158, new_file_last = 43164;
inline constexpr int recent_first = 43165, recent_last = 43170;
inline constexpr int frame_range_first = 43010, frame_range_last = 43164;
}  // namespace cmd

// Where the file dialogs of Open File / New File start, in command order.
enum class StartDir : uint8_t { Current, Workspace, Project, Config, LibrarySource, Include, StartFiles };
StartDir open_file_start_dir(int id);  // for 43151-43157 and 43158-43164

// ---- menu tree (menus.cpp) ----
enum class MenuId : uint8_t {
  NormalBar, DebugBar, File, NewFile, OpenFile, RecentWorkspaces, Edit, Project, Build,
  Configuration, Debug, SourceLevel, OpenTerminal, Debugger, Windows, Help
};

// One entry of a menu: a command (id > 0), a separator (id 0, text "-") or a
// submenu (id 0, `sub` set).
struct MenuItem {
  int id = 0;
  std::string_view text;
  std::optional<MenuId> sub;
};

std::span<const MenuItem> menu_items(MenuId menu);
std::string terminal_port_text(int port_index);  // "COM&%d" with index + 1
// The device behind serial port index 0-255 (COM1 is index 0): the first 64
// are the built-in ports /dev/ttyS*, then 64 USB adapters /dev/ttyUSB*, then
// 64 modem-class devices /dev/ttyACM*; "" for the rest.
std::string serial_port_path(int port_index);
std::string recent_item_text(int slot, std::string_view path);

// ---- command enabling (menus.cpp) ----
enum class Config : uint8_t { Debug, Final };

// Everything the enabling rules look at, gathered by the frame from its
// controllers and the active window each time a menu opens.
struct WorkbenchState {
  int editor_count = 0;
  bool project_open = false;
  bool workspace_open = false;
  Config active_config = Config::Debug;
  bool project_manager_shown = false;
  bool find_running = false;
  bool tool_running = false;  // a child program runs in the tool runner
  bool simulator_exists = false;
  bool debugger_active = false;
  bool target_running = false;
  // The debug records name at least one module. The run commands work on
  // the program model, whether the window shows source or, where no source
  // line holds the PC, the disassembly there.
  bool debugger_has_model = false;
  // The active MDI child when it is an editor.
  bool active_is_editor = false;
  bool editor_modified = false;
  bool editor_has_selection = false;
  bool clipboard_has_text = false;
  // File kind of the topmost child when it is an editor, else nullopt.
  std::optional<int> top_editor_kind;
};

// The result: a command is usable unless it is listed as greyed.
class CommandStates {
 public:
  bool enabled(int id) const;
  void set(int id, bool on) { state_[id] = on; }

 private:
  std::map<int, bool> state_;
};

CommandStates menu_enabling(const WorkbenchState& state);
MenuId active_menu_bar(const WorkbenchState& state);

// ---- file kinds and editor files (source_files.cpp) ----
namespace file_kind {
inline constexpr int other = 0, assembler = 1, c_source = 2, header = 3, linker_script = 4;
inline constexpr int ada_body = 10, ada_spec = 11;
}  // namespace file_kind

// By the extension after the last '.' of the file name, ignoring case.
int file_kind_of(std::string_view path);
bool is_makeable_kind(int kind);
// "dir/~name~" beside the file.
std::string backup_path_of(std::string_view path);

enum class EolMode : uint8_t { CrLf = 0, Cr = 1, Lf = 2 };
// The end of the first line decides; a file without one is taken as LF.
EolMode detect_eol(std::string_view bytes);

// Whole-file byte I/O; every write and the close are checked.
std::optional<std::string> read_file_bytes(const std::string& path);
bool write_file_bytes(const std::string& path, std::string_view bytes);
// A copy that leaves the destination alone unless the source could be read.
bool copy_file_bytes(const std::string& from, const std::string& to);

// Where the next editor window opens: 200,200 then 20 further each time,
// starting over when y would reach 281.
class WindowPlacement {
 public:
  std::pair<int, int> next();

 private:
  int x_ = 200, y_ = 200;
};

// ---- frame rules (frame_rules.cpp) ----
// A window in the MDI area: its top-left corner and its size, frame and
// title bar included.
struct WindowRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const WindowRect&) const = default;
};

// Where a new window goes in an area beside the windows shown there. The
// wanted place when the window lies inside the area there and touches no
// other window; else, of the places along the area's and the others' edges,
// the one where the least of its title bar, and then the least of it, lies
// under the windows that stay on top of the area (`on_top`, such as a tool
// window of the frame, in the area's coordinates); of those, where it covers
// the least of the windows to keep clear (`keep_clear`, the window the user
// works in, which a window opened in front must not hide); then where it
// hides the least of the others' title bar buttons (the right end of a title bar
// `title_height` high, three heights wide); then where the least of its own
// lies over another window (hidden once that one comes to the top); then
// the same for the whole title bars; then where it covers the least of the
// others; then the nearest to the wanted place. A window larger than the
// area keeps its top-left corner, and so its title bar, in the area.
WindowRect place_window(int area_width, int area_height, std::span<const WindowRect> others, WindowRect wanted,
                        int title_height, std::span<const WindowRect> on_top = {},
                        std::span<const WindowRect> keep_clear = {});

// Where the project manager first stands, in the frame's client
// coordinates: 20 pixels right of and 220 below the frame's corner, but
// never over the output window at its first place (the top quarter of
// `area`, the MDI area) nor over the status bar below the area, the two
// places where the workbench's messages appear. To stay above the status
// bar it is made shorter, though not below `min_height`.
WindowRect manager_place(WindowRect area, int width, int height, int min_height);

std::string frame_caption(std::string_view project_name, std::optional<std::string_view> editor_file,
                          bool editor_modified);

// The six most recent workspaces, slot 0 the newest; paths are canonical.
class RecentWorkspaces {
 public:
  static constexpr int slot_count = 6;
  const std::string& at(int slot) const { return slots_[slot]; }
  void set(int slot, std::string path) { slots_[slot] = std::move(path); }
  void push(const std::string& path);

 private:
  std::array<std::string, slot_count> slots_;
};

// ---- output text (output_text.cpp) ----
// The output window's store: completed lines plus the pending line. Lines wrap
// at the window's visible columns and are cut at 255 characters.
class OutputText {
 public:
  static constexpr size_t max_line = 255;
  void write(std::string_view text);
  void clear();
  void set_columns(int columns) { columns_ = columns; }
  const std::vector<std::string>& lines() const { return lines_; }
  const std::string& pending() const { return pending_; }
  int last_index() const { return static_cast<int>(lines_.size()) - 1; }

 private:
  void complete();
  std::vector<std::string> lines_;
  std::string pending_;
  int columns_ = 0;
};

// A tool message's source position: the first double-quoted text is the file,
// the number at the start of the first "(...)" behind it the line.
struct MessageLocation {
  std::string file;
  int line = 0;
};
std::optional<MessageLocation> parse_message_line(std::string_view line);

// ---- tool command lines (output_text.cpp) ----
// A command line split the way the C runtime of the original platform splits
// it; never passed through a shell.
struct ToolCommand {
  std::string program;
  std::vector<std::string> args;
};
std::optional<ToolCommand> split_tool_command(std::string_view command_line);
// "\"<bin dir>/<program>\" <arguments>" for a tool of the program directory.
std::string tool_command_line(std::string_view bin_dir, std::string_view program, std::string_view args);

// Results of a run besides the child's own exit code.
inline constexpr int run_no_pipe = -1;
inline constexpr int run_not_started = -2;
inline constexpr int run_abnormal_end = -3;  // killed by a signal

}  // namespace zun::wb
