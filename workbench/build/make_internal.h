// The state of one make run, shared by the makefile reader and the part that
// makes the goals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "workbench/build/make_engine.h"

namespace zun::wb::mk {

// The longest logical line and the longest expansion of one.
inline constexpr size_t max_line = 65535;

struct Target {
  std::string name;
  bool made = false;
  int64_t time = 0;  // of the file when the target was read; the end of its commands once made (ns)
  std::vector<std::string> deps;
  std::vector<std::string> commands;
};

struct InferenceRule {
  std::string from, to;               // suffixes with their '.'
  std::vector<std::string> commands;  // as written; expanded for each target
  bool builtin = false;
};

// A rule between its rule line and the line that closes it.
struct OpenRule {
  bool open = false;
  bool inference = false;
  std::string name;                  // inference: the text before ':'
  std::vector<std::string> targets;  // explicit: the expanded target words
  std::vector<std::string> deps;     // explicit: the dependency words as written
  std::vector<std::string> commands;
};

struct Make {
  Make(MakeContext& context, BuildFiles& file_access) : ctx(context), files(file_access) {}
  MakeContext& ctx;
  BuildFiles& files;

  // Run settings.
  std::string config;
  bool config_selected = false;
  bool execute = true;
  bool stop_on_error = true;
  bool keep_going = false;
  bool silent = false;
  char line_cont = '\\';
  char switch_char = '\\';
  bool first_target_pending = true;
  bool skipping = false;

  int errors = 0;
  bool abort = false;
  bool cancelled = false;
  bool tool_fatal = false;  // a program could not be started or ended abnormally
  bool made_something = false;
  bool banner_compile = false, banner_assemble = false, banner_link = false;

  std::unordered_map<std::string, std::string> macros;  // by lower-case name
  std::vector<std::string> suffixes;
  std::vector<InferenceRule> rules;
  std::vector<Target> targets;  // in makefile order; fixed once reading is done
  std::unordered_map<std::string, size_t> target_index;
  std::vector<std::string> goals;
  size_t current_goal = 0;
  std::vector<std::string> makefiles;
  std::unordered_set<std::string> in_progress;   // keys of the targets being made
  std::unordered_set<std::string> commands_ran;  // keys of the targets whose commands were started

  // Memory of the run, counted in the blocks the workbench has always
  // allowed a run: 100 of 64 KB.
  size_t arena_blocks = 1;
  size_t arena_left = 65536;
  bool arena_full = false;

  void print(std::string_view text) const;
  void error(const std::string& message);  // plain error: counted, the run goes on
  void fatal(const std::string& message);  // counted, and the run stops
  bool charge(size_t bytes);               // false once the memory of the run is used up
};

// Case-insensitive key of a name; '\' and '/' count as one.
std::string name_key(std::string_view name);
Target* find_target(Make& mk, std::string_view name);
// Base and suffix of a file name; no suffix gives an empty one.
void split_suffix(std::string_view name, std::string& base, std::string& suffix);

// ---- make_reader.cpp ----
void add_suffix(Make& mk, const std::string& suffix);
// False when the makefile could not be read; the run then ends.
bool read_makefile(Make& mk, const std::string& name);
// Macro expansion of a text. Without a target "$*" and "$@" give nothing.
std::string expand(Make& mk, std::string_view text, const std::string* target, bool report);
// Blank-separated words; a word beginning with '"' runs to the next '"'.
std::vector<std::string> split_words(std::string_view text);

}  // namespace zun::wb::mk
