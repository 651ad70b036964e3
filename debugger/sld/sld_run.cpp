// sld-run FILE.s19 CMD...: opens a debugging session on a load file as the
// workbench's Start Debugging does (the board's default target, the program
// loaded, breakpoints at "_main" and "__lowexit", the PC at the entry), then
// carries out the commands in turn, ticking the simulator as its window's
// timer would. After the start and after every stepping command it prints
// "at MODULE:LINE PC=XXXX" ("at - PC=XXXX" without a source line). The
// program's console output goes to standard output as "| " lines; the
// debugger's output-window lines and message boxes go to standard error.
//   next into out run runnb restart
//   break MODULE:LINE   clear MODULE:LINE
//   print NAME   print NAME.*   set NAME VALUE   view NAME hex|unsigned|signed|binary|ieee
// NAME is a global, "module:static" or a local of the current function,
// followed by members ".m", elements "[i]" or the pointee ".*"; a final ".*"
// lists the rows the name expands into.
// Exits with the number of commands that could not be carried out.
#include "debugger/sld/debugger.h"

#include "common/format.h"
#include "debugger/tovrel/tovrel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace zun::sld {
namespace {

constexpr const char* kUsage =
    "usage: sld-run [--max N] FILE.s19 CMD...\n"
    "  CMD: next | into | out | run | runnb | restart | break MODULE:LINE | clear MODULE:LINE\n"
    "       | print NAME[.*] | set NAME VALUE | view NAME hex|unsigned|signed|binary|ieee\n";
constexpr uint64_t kInstructionsPerTick = 500;

void err(const std::string& text) { std::fputs(text.c_str(), stderr); }

// The program's console: the terminal on ACIA 1, printed line by line.
class Console {
public:
  void attach(Board& board) {
    terminal_ = nullptr;
    for (const DeviceSlot& slot : board.slots) {
      if (slot.handle < 0) continue;
      if (auto* t = tovrel::find<tovrel::SerialTerminal>(slot.handle)) {
        terminal_ = t;
        return;
      }
    }
  }
  void drain() {
    if (!terminal_) return;
    for (char c : terminal_->take_output()) {
      if (c == '\r') continue;
      if (c == '\n') {
        std::printf("| %s\n", line_.c_str());
        line_.clear();
      } else {
        line_ += c;
      }
    }
  }
  void flush() {
    drain();
    if (line_.empty()) return;
    std::printf("| %s\n", line_.c_str());
    line_.clear();
  }

private:
  tovrel::SerialTerminal* terminal_ = nullptr;
  std::string line_;
};

class ToolEngineHost : public EngineHost {
public:
  explicit ToolEngineHost(Console& console) : console_(console) {}
  void on_stop() override { console_.drain(); }
  void message_box(const std::string& caption, const std::string& text) override {
    err(caption + ": " + text + "\n");
  }
  void error_box(const std::string& text) override { err(text + "\n"); }
  void output_line(const std::string& text) override { err(text); }

private:
  Console& console_;
};

class ToolHost : public SldSessionHost {
public:
  void out_print(std::string_view text) override { err(std::string(text)); }
  bool ask_yes_no(std::string_view question) override {
    err(std::string(question) + " (yes)\n");
    return true;
  }
  void error_box(std::string_view text, std::string_view caption) override {
    err(caption.empty() ? std::string(text) + "\n" : std::string(caption) + ": " + std::string(text) + "\n");
  }
};

class SldRun {
public:
  SldRun(const std::string& bin_dir, uint64_t max_instructions)
      : board_(library_),
        engine_host_(console_),
        engine_(board_, engine_host_, bin_dir),
        debugger_(engine_, host_, bin_dir),
        max_(max_instructions) {}
  ~SldRun() { board_.dev_close_all(); }

  bool start(const std::string& load_file) {
    if (!debugger_.sld_start_debugging(load_file)) {
      err(format("sld-run: can't debug '%s'\n", load_file.c_str()));
      return false;
    }
    console_.attach(board_);
    print_at();
    return true;
  }

  // False when the command could not be carried out.
  bool command(const std::vector<std::string>& args, size_t& i) {
    const std::string& cmd = args[i++];
    auto operand = [&](std::string& out) {
      if (i >= args.size()) return false;
      out = args[i++];
      return true;
    };
    static const std::vector<std::pair<std::string, int>> runs = {
        {"next", RUN_NEXT}, {"into", RUN_STEP_INTO}, {"out", RUN_STEP_OUT},
        {"run", RUN_GO},    {"runnb", RUN_NO_BREAKS}};
    for (const auto& [name, mode] : runs) {
      if (cmd == name) {
        debugger_.sld_run_command(mode);
        bool ok = wait_for_stop();
        print_at();
        return ok;
      }
    }
    if (cmd == "restart") {
      debugger_.sld_restart();
      print_at();
      return true;
    }
    std::string name, value;
    if (cmd == "break" || cmd == "clear") {
      if (!operand(name)) return missing(cmd);
      return cmd == "break" ? set_break(name) : clear_break(name);
    }
    if (cmd == "print") {
      if (!operand(name)) return missing(cmd);
      return print(name);
    }
    if (cmd == "set" || cmd == "view") {
      if (!operand(name) || !operand(value)) return missing(cmd);
      return cmd == "set" ? set(name, value) : view(name, value);
    }
    err(format("sld-run: unknown command '%s'\n%s", cmd.c_str(), kUsage));
    return false;
  }

  void finish() { console_.flush(); }

private:
  static bool missing(const std::string& cmd) {
    err(format("sld-run: '%s' needs more operands\n", cmd.c_str()));
    return false;
  }

  // Ticks the simulator as its window's timer would until the run stops,
  // the last tick cut so that the run makes at most max_ instructions.
  bool wait_for_stop() {
    // A run makes its first instruction as it starts.
    uint64_t ran = engine_.sim_run_mode() == RunMode::Stopped ? 0 : 1;
    while (engine_.sim_run_mode() != RunMode::Stopped) {
      if (ran >= max_) {
        err(format("sld-run: still running after %llu instructions, halted\n",
                   static_cast<unsigned long long>(ran)));
        debugger_.target().target_stop();
        return false;
      }
      ran += engine_.sim_timer_tick(std::min(kInstructionsPerTick, max_ - ran));
      console_.drain();
    }
    return true;
  }

  void print_at() {
    console_.flush();
    uint32_t pc = debugger_.target().target_get_pc();
    bool located = debugger_.sld_locate_pc(false);
    const DebugModule* m = debugger_.model().sld_exec_module();
    const ExecPoint* p = debugger_.model().sld_exec_point();
    if (located && m && p)
      std::printf("at %s:%u PC=%04X\n", m->name.c_str(), p->line, pc);
    else
      std::printf("at - PC=%04X\n", pc);
    std::fflush(stdout);
  }

  // "MODULE:LINE": the module by name or by file name.
  const DebugModule* module_line(const std::string& text, uint32_t& line) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
      err(format("sld-run: '%s' is not MODULE:LINE\n", text.c_str()));
      return nullptr;
    }
    std::string name = text.substr(0, colon);
    const DebugModule* m = debugger_.model().sld_module_find(name);
    if (!m) m = debugger_.model().sld_module_find_by_file(name);
    char* end = nullptr;
    unsigned long n = std::strtoul(text.c_str() + colon + 1, &end, 10);
    if (!m || *end || end == text.c_str() + colon + 1) {
      err(format("sld-run: no module line '%s'\n", text.c_str()));
      return nullptr;
    }
    line = static_cast<uint32_t>(n);
    return m;
  }

  bool set_break(const std::string& text) {
    uint32_t line = 0;
    const DebugModule* m = module_line(text, line);
    if (!m) return false;
    if (!m->first_point_on_line(line)) {
      err(format("sld-run: no code on line %s\n", text.c_str()));
      return false;
    }
    debugger_.breakpoints().sld_bp_add_user(m, line, 0);
    return true;
  }

  bool clear_break(const std::string& text) {
    uint32_t line = 0;
    const DebugModule* m = module_line(text, line);
    if (!m) return false;
    if (!debugger_.breakpoints().sld_bp_remove_user(m, line)) {
      err(format("sld-run: no breakpoint at %s\n", text.c_str()));
      return false;
    }
    return true;
  }

  // The row of a name path; `list` is set by a final ".*".
  WatchEntry* find_row(std::string path, bool& list, std::string& shown) {
    SldWatches& w = debugger_.watches();
    list = path.size() > 2 && path.ends_with(".*");
    if (list) path.resize(path.size() - 2);
    shown = path;
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
      if (c == '.' || c == '[') {
        parts.push_back(part);
        part = c == '[' ? "[" : "";
      } else {
        part += c;
      }
    }
    parts.push_back(part);
    parts.erase(std::remove(parts.begin() + 1, parts.end(), std::string()), parts.end());
    WatchEntry* row = nullptr;
    for (WatchEntry* e : w.auto_rows())
      if (e->name == parts[0]) row = e;
    for (WatchEntry* e : w.global_rows())
      if (!row && SldWatches::display_name(*e) == parts[0])
        row = e;
    if (!row) row = w.watch_add_global(parts[0]);
    for (size_t k = 1; row && k < parts.size(); ++k) {
      w.watch_expand(*row);
      WatchEntry* next = nullptr;
      for (WatchEntry* child : row->children()) {
        bool match = parts[k] == "*" ? child == row->pointee.get()
                   : parts[k].starts_with("[") ? w.watch_row_name(*child).starts_with(parts[k])
                                               : child->name == parts[k];
        if (match) {
          next = child;
          break;
        }
      }
      if (!next) err(format("sld-run: '%s' has no '%s'\n", path.c_str(), parts[k].c_str()));
      row = next;
    }
    return row;
  }

  void print_row(const std::string& shown, const WatchEntry& row) {
    std::printf("%s = %s\n", shown.c_str(), row.value_text.c_str());
  }

  bool print(const std::string& path) {
    bool list = false;
    std::string shown;
    WatchEntry* row = find_row(path, list, shown);
    if (!row) return false;
    SldWatches& w = debugger_.watches();
    if (!list) {
      w.watch_read(*row);
      print_row(shown, *row);
      return true;
    }
    if (!w.watch_expand(*row)) {
      err(format("sld-run: '%s' does not expand\n", shown.c_str()));
      return false;
    }
    w.watch_read(*row);
    for (WatchEntry* child : row->children())
      std::printf("  %s = %s\n", w.watch_row_name(*child).c_str(), child->value_text.c_str());
    return true;
  }

  bool set(const std::string& path, const std::string& value) {
    bool list = false;
    std::string shown;
    WatchEntry* row = find_row(path, list, shown);
    if (!row) return false;
    if (!row->editable) {
      err(format("sld-run: '%s' cannot be edited\n", path.c_str()));
      return false;
    }
    bool ok = debugger_.watches().watch_edit(*row, value);
    print_row(shown, *row);
    return ok;
  }

  bool view(const std::string& path, const std::string& format_name) {
    static const std::vector<std::pair<std::string, uint8_t>> formats = {
        {"hex", FORMAT_HEX}, {"unsigned", FORMAT_UNSIGNED}, {"signed", FORMAT_SIGNED},
        {"binary", FORMAT_BINARY}, {"ieee", FORMAT_IEEE}};
    for (const auto& [name, f] : formats) {
      if (name != format_name) continue;
      bool list = false;
      std::string shown;
      WatchEntry* row = find_row(path, list, shown);
      if (!row) return false;
      debugger_.watches().watch_set_format(*row, f);
      print_row(shown, *row);
      return true;
    }
    err(format("sld-run: unknown view '%s'\n", format_name.c_str()));
    return false;
  }

  TovrelLibrary library_;
  Board board_;
  Console console_;
  ToolEngineHost engine_host_;
  ToolHost host_;
  Engine engine_;
  SldDebugger debugger_;
  uint64_t max_;
};

}  // namespace
}  // namespace zun::sld

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  uint64_t max_instructions = 20000000;
  size_t i = 0;
  if (i + 1 < args.size() && args[i] == "--max") {
    char* end = nullptr;
    max_instructions = std::strtoull(args[i + 1].c_str(), &end, 10);
    if (*end || max_instructions == 0) {
      std::fprintf(stderr, "sld-run: bad instruction count '%s'\n%s", args[i + 1].c_str(),
                   zun::sld::kUsage);
      return 1;
    }
    i += 2;
  }
  if (i >= args.size()) {
    std::fputs(zun::sld::kUsage, stderr);
    return 1;
  }
  zun::sld::SldRun run(zun::sld::sld_program_dir(argv[0]), max_instructions);
  if (!run.start(args[i++])) return 1;
  int errors = 0;
  while (i < args.size())
    if (!run.command(args, i)) ++errors;
  run.finish();
  return errors > 255 ? 255 : errors;
}
