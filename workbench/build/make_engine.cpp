// The make run: arguments, the built-in inference rules, the decision which
// targets are out of date, running their commands, and the summary lines.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>

#include "common/format.h"
#include "common/path.h"
#include "common/text.h"
#include "workbench/build/leftovers.h"
#include "workbench/build/make_internal.h"

namespace zun::wb {

namespace fs = std::filesystem;

int64_t BuildFiles::file_time(const std::string& path) {
  std::error_code ec;
  auto t = fs::last_write_time(path_native(path), ec);
  if (ec) return 0;
  auto since = std::chrono::file_clock::to_sys(t).time_since_epoch();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(since).count();
}

int64_t BuildFiles::now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool BuildFiles::exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path_native(path), ec);
}

bool BuildFiles::remove(const std::string& path) {
  std::error_code ec;
  fs::remove(path_native(path), ec);
  return !exists(path);
}

bool BuildFiles::rename(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::rename(path_native(from), path_native(to), ec);
  return !ec;
}

namespace mk {

void Make::print(std::string_view text) const {
  if (ctx.out) ctx.out(text);
}

void Make::error(const std::string& message) {
  print(message);
  if (message.empty() || message.back() != '\n') print("\n");
  ++errors;
}

void Make::fatal(const std::string& message) {
  print("\nERROR: ");
  error(message);
  abort = true;
}

// A request is rounded up to 4 bytes and never split over two blocks.
bool Make::charge(size_t bytes) {
  if (arena_full) return false;
  bytes = (bytes + 3) & ~size_t{3};
  if (bytes > arena_left) {
    if (arena_blocks == 100) {
      arena_full = true;
      fatal("Can't get ARENA");
      return false;
    }
    ++arena_blocks;
    arena_left = 65536;
  }
  arena_left -= std::min(bytes, arena_left);
  return true;
}

std::string name_key(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '\\') c = '/';
  }
  return key;
}

Target* find_target(Make& mk, std::string_view name) {
  auto it = mk.target_index.find(name_key(name));
  return it == mk.target_index.end() ? nullptr : &mk.targets[it->second];
}

// The suffix starts at the last '.', looked for only among the last five
// characters of a name of seven or more, and never at the first character.
void split_suffix(std::string_view name, std::string& base, std::string& suffix) {
  size_t start = name.size() >= 7 ? name.size() - 5 : 1;
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot < start) {
    base = name;
    suffix.clear();
    return;
  }
  base = name.substr(0, dot);
  suffix = name.substr(dot);
}

namespace {

std::string with_slashes(std::string name) {
  path_to_slashes(name);
  return name;
}

size_t suffix_position(const Make& mk, const std::string& suffix) {
  auto same = [&](const std::string& s) { return equal_nocase(s, suffix); };
  return static_cast<size_t>(std::find_if(mk.suffixes.begin(), mk.suffixes.end(), same) - mk.suffixes.begin());
}

// The file a dependency stands for: base plus the first suffix, from its own
// on along the suffix list, that gives an existing file; "" when none does.
std::string resolved_name(Make& mk, const std::string& dep) {
  std::string base, suffix;
  split_suffix(dep, base, suffix);
  if (suffix.empty()) return {};
  for (size_t k = suffix_position(mk, suffix); k < mk.suffixes.size(); ++k)
    if (mk.files.exists(base + mk.suffixes[k])) return base + mk.suffixes[k];
  return {};
}

// An inference rule that makes `name` from an existing file of the same base.
std::optional<Target> infer(Make& mk, const std::string& name) {
  std::string base, suffix;
  split_suffix(name, base, suffix);
  if (suffix.empty()) return std::nullopt;
  for (size_t k = suffix_position(mk, suffix) + 1; k < mk.suffixes.size(); ++k) {
    const std::string& from = mk.suffixes[k];
    auto rule = std::find_if(mk.rules.begin(), mk.rules.end(), [&](const InferenceRule& r) {
      return equal_nocase(r.from, from) && equal_nocase(r.to, suffix);
    });
    if (rule == mk.rules.end() || mk.files.file_time(base + from) == 0) continue;
    Target t;
    t.name = name;
    t.time = mk.files.file_time(name);
    t.deps.push_back(base + from);
    for (const std::string& c : rule->commands) {
      std::string x = expand(mk, c, &name, !rule->builtin);
      t.commands.push_back(x.substr(std::min(x.size(), x.find_first_not_of(" \t"))));
    }
    return t;
  }
  return std::nullopt;
}

// The names a command may ask for with "$<", "$?" and "$>".
struct DepNames {
  std::vector<std::string> all_resolved, newer, newer_resolved;
};

void append_names(std::string& out, const std::vector<std::string>& names) {
  for (const std::string& n : names) out += " " + n;
}

std::string command_time(Make& mk, const std::string& cmd, const DepNames& names) {
  std::string out;
  for (size_t i = 0; i < cmd.size(); ++i) {
    char d = i + 1 < cmd.size() ? cmd[i + 1] : '\0';
    if (cmd[i] != '$' || (d != '$' && d != '<' && d != '?' && d != '>')) {
      out += cmd[i];
      continue;
    }
    ++i;
    if (d == '$') out += '$';
    if (d == '<') append_names(out, names.all_resolved);
    if (d == '?') append_names(out, names.newer);
    if (d == '>') append_names(out, names.newer_resolved);
  }
  if (out.size() > max_line) {
    out.resize(max_line);
    mk.fatal("line too long\n'" + out + "'");
  }
  return out;
}

bool builtin_word(std::string_view cmd, std::string_view word) {
  if (cmd.substr(0, 4) != word) return false;
  if (cmd.size() == 4) return true;
  char next = cmd[4];
  return static_cast<unsigned char>(next) <= ' ' || next == '"' || next == '-';
}

void banner(Make& mk, bool Make::*flag, const char* text) {
  if (!(mk.*flag)) mk.print(text);
  mk.banner_compile = mk.banner_assemble = mk.banner_link = false;
  mk.*flag = true;
}

// RMFI: the first name in the text, quoted or not.
int remove_file(Make& mk, std::string_view text) {
  std::string rest(text), name;
  const char* at = skip_blanks(rest.c_str());
  read_word(name, at);
  if (name.empty() || !mk.files.exists(name)) return 0;
  return mk.files.remove(name) ? 0 : 1;
}

int run_builtin_or_program(Make& mk, std::string_view cmd) {
  if (builtin_word(cmd, "LINK")) {
    banner(mk, &Make::banner_link, "linking...\n");
    return run_link(mk.ctx, cmd.substr(4));
  }
  if (builtin_word(cmd, "ASSM")) {
    banner(mk, &Make::banner_assemble, "assembling...\n");
    return run_assm(mk.ctx, cmd.substr(4));
  }
  if (builtin_word(cmd, "COMP")) {
    banner(mk, &Make::banner_compile, "compiling...\n");
    return run_comp(mk.ctx, cmd.substr(4));
  }
  if (builtin_word(cmd, "RMFI")) return remove_file(mk, cmd.substr(4));
  if (!mk.ctx.runner) {
    mk.print("\nFailed to create process, system message is: no process runner\n");
    return run_not_started;
  }
  return mk.ctx.runner->run_process(std::string(cmd));
}

// True when the command failed and the failure counts.
bool run_command(Make& mk, const std::string& line) {
  size_t i = 0;
  bool ignore_failure = false;
  for (; i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '-' || line[i] == '@'); ++i)
    if (line[i] == '-') ignore_failure = true;
  std::string_view cmd = std::string_view(line).substr(i);
  if (!mk.execute || cmd.empty()) return false;
  int result = run_builtin_or_program(mk, cmd);
  // The run_* results are failures of their own kind; each counts one error,
  // so that results of different commands never cancel out.
  if (result == run_cancelled) {
    mk.cancelled = true;
    ++mk.errors;
  } else if (result < 0) {
    mk.tool_fatal = true;
    ++mk.errors;
  } else {
    mk.errors += result;
  }
  return result != 0 && !ignore_failure;
}

bool pending_goal(const Make& mk, const std::string& name) {
  std::string key = name_key(name);
  for (size_t g = mk.current_goal; g < mk.goals.size(); ++g)
    if (name_key(mk.goals[g]) == key) return true;
  return false;
}

// The time of a target or file, and whether it was made in this run: a target
// made a moment ago is newer than what depends on it even when both times
// are the same.
struct Made {
  int64_t time = 0;
  bool now = false;
};

Made mark_made(Make& mk, Target& t) {
  t.made = true;
  t.time = mk.files.now();
  if (!t.commands.empty()) mk.made_something = true;
  return {t.time, true};
}

Made stopped(Make& mk) {
  mk.print("Stopped build...\n");
  mk.abort = true;
  return {};
}

// A target whose dependencies are being made. Dependency chains may be as
// long as a makefile is, so they are followed on a stack of these rather than
// by recursion.
struct Pending {
  std::string key;
  Target* target = nullptr;
  std::unique_ptr<Target> temporary;  // a target an inference rule gave
  std::vector<std::string> deps;      // as they were when the target was entered
  size_t next = 0;                    // the dependency being made
  DepNames names;
  bool out_of_date = false;
};

// Takes the result of the dependency being made; false after an abort.
bool take_dependency(Make& mk, Pending& p, const Made& made) {
  if (mk.abort) return false;
  const std::string& dep = p.deps[p.next++];
  std::string resolved = resolved_name(mk, dep);
  if (resolved.empty()) resolved = dep;
  p.names.all_resolved.push_back(resolved);
  if (made.now || made.time > p.target->time) {  // equal times count as up to date
    p.out_of_date = true;
    p.names.newer.push_back(dep);
    p.names.newer_resolved.push_back(resolved);
  }
  return true;
}

// Runs the commands of a target whose dependencies are all made, when it is
// out of date.
Made bring_up_to_date(Make& mk, Pending& p) {
  Target& t = *p.target;
  if (!p.deps.empty() && !p.out_of_date && !mk.ctx.force) return {t.time, false};
  if (t.commands.empty()) {
    if (pending_goal(mk, t.name)) return mark_made(mk, t);
    mk.print(format("Missing command line for '%s'\n", t.name.c_str()));
    ++mk.errors;
    return stopped(mk);
  }
  for (const std::string& cmd : t.commands) {
    std::string line = command_time(mk, cmd, p.names);
    if (mk.abort) return {};
    if (mk.execute) mk.commands_ran.insert(p.key);
    bool failed = run_command(mk, line);
    if (mk.cancelled) return stopped(mk);
    if (!failed) continue;
    if (mk.keep_going) return mark_made(mk, t);
    if (mk.stop_on_error) return stopped(mk);
  }
  return mark_made(mk, t);
}

// Starts on a name: the result when it is known at once, else nullopt with
// the target pushed onto `stack`.
std::optional<Made> enter(Make& mk, const std::string& name, std::vector<Pending>& stack) {
  std::string key = name_key(name);
  if (mk.in_progress.count(key)) {
    mk.error(format("Circular dependency on '%s' dropped", name.c_str()));
    return Made{};
  }
  Pending p;
  p.target = find_target(mk, name);
  if (p.target) {
    if (p.target->made) return Made{p.target->time, true};
    if (p.target->commands.empty()) {
      if (std::optional<Target> rule = infer(mk, name)) {
        p.target->deps.push_back(rule->deps[0]);
        p.target->commands = std::move(rule->commands);
      }
    }
  } else {
    std::optional<Target> rule = infer(mk, name);
    if (!rule) {
      if (int64_t time = mk.files.file_time(name)) return Made{time, false};
      mk.fatal(format("'%s' does not exist, don't know how to make it\n", name.c_str()));
      return Made{};
    }
    p.temporary = std::make_unique<Target>(std::move(*rule));
    p.target = p.temporary.get();
  }
  mk.in_progress.insert(key);
  p.key = std::move(key);
  p.deps = p.target->deps;
  stack.push_back(std::move(p));
  return std::nullopt;
}

// Makes a name and everything it depends on, deepest first.
Made make_target(Make& mk, const std::string& name) {
  std::vector<Pending> stack;
  std::optional<Made> made = enter(mk, name, stack);
  while (!stack.empty()) {
    if (made && !take_dependency(mk, stack.back(), *made)) break;
    Pending& top = stack.back();
    if (top.next < top.deps.size()) {
      const std::string dep = top.deps[top.next];
      made = enter(mk, dep, stack);
      continue;
    }
    made = bring_up_to_date(mk, top);
    mk.in_progress.erase(top.key);
    stack.pop_back();
  }
  if (mk.abort) {
    mk.in_progress.clear();
    return {};
  }
  return made.value_or(Made{});
}

// What killed runs left in the project folder and in the folders of the
// makefile's targets within it.
void clear_leftovers(const Make& mk, bool alone) {
  std::set<std::string> dirs{"."};
  for (const Target& t : mk.targets) {
    std::string dir = path_dir_name(t.name);
    if (dir.empty() || !path_is_relative(t.name)) continue;
    dir = path_canonicalize(dir);
    if (!path_climbs_out(dir)) dirs.insert(dir);
  }
  for (const std::string& dir : dirs) remove_leftover_temporaries(dir, alone);
}

// The built-in rules name tools of another family; they only come into play
// for targets of their suffixes that have no commands.
void install_builtin_rules(Make& mk) {
  mk.rules = {{".c", ".s", {"$(CC) -S $(CFLAGS) $*.c"}, true},
              {".c", ".o68", {"$(CC) -c $(DEFINES) $(UNDEFINES) $(MINCLUDES) $(CW) $(CS) $(CG) $*.c"}, true},
              {".s68", ".o68", {"$(AS) $(ASLF) $(ASST) $(ASUE) $(ASDW) $(ASAF)  $*.s68"}, true}};
  mk.suffixes = {".o68", ".o68", ".s68", ".s68", ".c", ".c"};
}

void parse_arguments(Make& mk, const std::vector<std::string>& args) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a.compare(0, 2, "-f") == 0) {
      mk.makefiles.push_back(a.substr(2));
    } else if (a == "-c" && i + 1 < args.size()) {
      mk.config = args[i + 1];
      mk.config_selected = !mk.config.empty();
      if (mk.config_selected) ++i;
    } else if (a == "-i" || a == "-I") {
      mk.stop_on_error = false;
    } else if (a == "-k" || a == "-K") {
      mk.keep_going = true;
    } else if (a == "-n" || a == "-N") {
      mk.execute = false;
    } else if (a == "-s" || a == "-S") {
      mk.silent = true;
    } else if (!a.empty() && a[0] == '-') {
      mk.error("unknown option '" + a + "'");
    } else if (!a.empty()) {
      mk.goals.push_back(a);
      mk.first_target_pending = false;
    }
  }
}

// Without -f: the makefile "eMake" of the current directory, or "emake".
bool read_default_makefile(Make& mk) {
  for (const char* name : {"eMake", "emake"})
    if (mk.files.exists(name)) return read_makefile(mk, name);
  return true;
}

bool read_makefiles(Make& mk) {
  if (mk.makefiles.empty()) return read_default_makefile(mk);
  for (const std::string& name : mk.makefiles)
    if (!read_makefile(mk, name)) return false;
  return true;
}

MakeResult finish(const Make& mk, int result) {
  MakeResult r;
  r.result = result;
  r.errors = mk.errors;
  r.stopped = mk.abort;
  r.cancelled = mk.cancelled;
  return r;
}

MakeResult after_abort(Make& mk) {
  std::string goal = mk.goals.empty() ? std::string() : with_slashes(mk.goals[0]);
  if (mk.cancelled) {
    mk.print("User cancelled tool\n");
  } else if (mk.tool_fatal) {
    mk.print("Tool reported fatal error(s)\n");
  } else {
    mk.print(format("'%s' - %d error(s)\n", goal.c_str(), mk.errors));
  }
  // Only a file this run was writing is removed: the first goal, when its own
  // commands ran.
  bool written = !mk.goals.empty() && mk.commands_ran.count(name_key(mk.goals[0]));
  if (mk.errors != 0 && written && mk.files.exists(goal) && mk.files.remove(goal))
    mk.print(format("Removed '%s'\n", goal.c_str()));
  return finish(mk, 0);
}

}  // namespace

}  // namespace mk

MakeResult make(MakeContext& ctx, const std::vector<std::string>& args) {
  BuildFiles disk;
  mk::Make mk(ctx, ctx.files ? *ctx.files : disk);
  mk::install_builtin_rules(mk);
  std::string flags;
  for (size_t i = 1; i < args.size(); ++i) flags += args[i] + " ";
  mk.macros["mflags"] = flags;
  mk::parse_arguments(mk, args);
  if (!mk::read_makefiles(mk)) return mk::finish(mk, 0);
  // After a fatal error in a makefile nothing is made.
  if (mk.abort) return mk::after_abort(mk);
  if (mk.goals.empty()) return mk::finish(mk, 1);
  FolderHold hold(".");
  if (mk.execute) mk::clear_leftovers(mk, hold.alone());
  for (mk.current_goal = 0; mk.current_goal < mk.goals.size(); ++mk.current_goal) {
    const std::string& goal = mk.goals[mk.current_goal];
    mk.made_something = false;
    mk::make_target(mk, goal);
    if (mk.abort) return mk::after_abort(mk);
    if (mk.made_something) continue;
    std::string shown = mk::with_slashes(goal);
    if (mk::find_target(mk, goal)) {
      if (!mk.silent) mk.print(format("'%s' is up to date\n", shown.c_str()));
      MakeResult r = mk::finish(mk, 0);
      r.up_to_date = true;
      return r;
    }
    mk.print(format("Don't know how to make '%s'\n", shown.c_str()));
    if (mk.stop_on_error) return mk::finish(mk, 0);
  }
  if (!mk.silent)
    mk.print(format("'%s' - %d Error(s)\n", mk::with_slashes(mk.goals[0]).c_str(), mk.errors));
  return mk::finish(mk, 1);
}

}  // namespace zun::wb
