// The program model: debug modules with their functions, execution points
// and source lines, locals and globals, the code range, and the search for
// the program's entry. The debug reader fills it; run control, the source
// window and the watch windows look things up in it.
#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"
#include "debugger/sld/sld.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unordered_map>

namespace zun::sld {

namespace {

uint64_t point_key(uint32_t address, uint32_t line) {
  return (static_cast<uint64_t>(address) << 32) | line;
}

// A local's block field "line,column-line,column"; none when the field is
// empty or not of that form (the local is then in scope in the whole
// function).
std::optional<std::pair<SourcePos, SourcePos>> read_block(std::string_view text) {
  unsigned v[4] = {};
  int used = -1;
  std::string s(text);
  if (s.empty() || !std::isdigit(static_cast<unsigned char>(s[0])) ||
      std::sscanf(s.c_str(), "%u,%u-%u,%u%n", &v[0], &v[1], &v[2], &v[3], &used) != 4 ||
      used != static_cast<int>(s.size()))
    return std::nullopt;
  return std::pair{SourcePos{v[0], v[1]}, SourcePos{v[2], v[3]}};
}

}  // namespace

const ExecPoint* DebugModule::first_point_on_line(uint32_t line) const {
  for (const ExecPoint& p : points)
    if (p.line == line) return &p;
  return nullptr;
}

Sld::Sld(SldHost& host, std::string install_dir, SldTarget* target)
    : host_(host), install_dir_(std::move(install_dir)), target_(target), types_(host) {}

void Sld::sld_modules_free() {
  // The display state points into the modules.
  sld_reset_display();
  entry_ = nullptr;
  forward_ = backward_ = -1;
  modules_.clear();
  globals_.clear();
  types_.type_table_reset();
  code_low_ = 0xFFFF;
  code_high_ = 0;
  frame_depths_.clear();
}

DebugModule* Sld::sld_module_find(std::string_view name) const {
  for (const auto& m : modules_)
    if (m->name == name) return m.get();
  return nullptr;
}

DebugModule* Sld::sld_module_find_by_file(std::string_view file_name) const {
  for (const auto& m : modules_)
    if (m->file_name == file_name) return m.get();
  return nullptr;
}

// A path that begins with '.' lies below the installation directory.
int Sld::sld_module_add(const std::string& name, const std::string& path, char language) {
  std::string full = path;
  if (path.starts_with("..")) {
    full = path_canonicalize(install_dir_ + "/" + path);
  } else if (path.starts_with(".")) {
    full = path_canonicalize(install_dir_ + path.substr(1));
  }
  if (DebugModule* m = sld_module_find(name)) {
    // Module names are file names cut at their first '.': "io.c" and
    // "io.dbg.c" collide, and the second one's records land in the first.
    if (m->path != full)
      host_.out_print(format("Warning: Module name '%s' of '%s' is already taken by '%s'\n",
                             name.c_str(), full.c_str(), m->path.c_str()));
    return 1;
  }
  auto m = std::make_unique<DebugModule>();
  m->name = name;
  m->language = language;
  m->path = full;
  m->file_name = path_file_name(full);
  modules_.push_back(std::move(m));
  return 1;
}

void Sld::sld_function_bound(std::string_view module, std::string_view name, uint32_t address,
                             uint32_t line, bool start) {
  DebugModule* m = sld_module_find(module);
  if (!m) return;
  if (start && address < code_low_) code_low_ = address;
  if (!start && address > code_high_) code_high_ = address;
  DebugFunction* fn = nullptr;
  for (DebugFunction& f : m->functions) {
    if (f.name == name) {
      fn = &f;
      break;
    }
  }
  if (!fn) {
    fn = &m->functions.emplace_back();
    fn->name = std::string(name);
  }
  if (start) {
    fn->start_address = address;
    fn->start_line = line;
  } else {
    fn->end_address = address;
    fn->end_line = line;
  }
}

void Sld::sld_point_add(std::string_view module, uint32_t line, uint32_t number2,
                        uint32_t address) {
  DebugModule* m = sld_module_find(module);
  if (!m) {
    host_.out_print(format("SLD: Failed  insert execution point at %X (%d,%d) in %s\n", address,
                           static_cast<int>(line), static_cast<int>(number2),
                           std::string(module).c_str()));
    return;
  }
  if (!m->point_keys.insert(point_key(address, line)).second) return;
  m->points.push_back(ExecPoint{line, number2, address});
}

void Sld::sld_exit_point(std::string_view module, uint32_t line, uint32_t number2,
                         uint32_t address) {
  DebugModule* m = sld_module_find(module);
  if (!m) return;
  for (DebugFunction& f : m->functions) {
    if (f.start_address < address && address < f.end_address) {
      f.exit_address = address;
      f.exit_line = line;
      return;
    }
  }
}

void Sld::sld_local_add(std::string_view module, std::string_view function,
                        std::string_view name, int32_t offset, std::string_view type,
                        std::string_view block) {
  DebugModule* m = sld_module_find(module);
  if (!m) return;
  for (DebugFunction& f : m->functions) {
    if (!f.c_name.empty() && f.c_name == function) {
      f.locals.push_back(LocalSymbol{&f, std::string(name), offset, types_.type_id_by_name(type),
                                     read_block(block), std::nullopt});
      return;
    }
  }
}

// A function's static is also one of its locals: inside the function its
// plain name finds it.
void Sld::sld_global_add(std::string_view module, std::string_view name, uint32_t address,
                         std::string_view type, bool is_global, std::string_view function) {
  int id = types_.type_id_by_name(type);
  globals_.push_back(GlobalSymbol{std::string(name), std::string(module), std::string(function),
                                  is_global, address, id});
  DebugModule* m = function.empty() ? nullptr : sld_module_find(module);
  if (!m) return;
  for (DebugFunction& f : m->functions) {
    if (!f.c_name.empty() && f.c_name == function) {
      f.locals.push_back(LocalSymbol{&f, std::string(name), 0, id, std::nullopt, address});
      return;
    }
  }
}

// A line without code of its own (`while (1) {`, `do {`, a `break;` folded
// into its `if`, in load files of older compilers) has its record at the
// address of the next line's code, ahead of that line's record. Of the
// points at one address only the last one is kept: its line is the one whose
// code begins there, the one a stop shows and a breakpoint names.
void Sld::drop_codeless_points() {
  for (auto& m : modules_) {
    std::unordered_map<uint32_t, size_t> last;
    for (size_t i = 0; i < m->points.size(); ++i) last[m->points[i].address] = i;
    if (last.size() == m->points.size()) continue;
    std::deque<ExecPoint> kept;
    for (size_t i = 0; i < m->points.size(); ++i) {
      const ExecPoint& p = m->points[i];
      if (last[p.address] == i)
        kept.push_back(p);
      else
        m->point_keys.erase(point_key(p.address, p.line));
    }
    m->points = std::move(kept);
  }
}

// Each module's source file; a line's first point is the first point of the
// module (in list order) on that line.
void Sld::read_sources() {
  for (auto& m : modules_) {
    m->lines.clear();
    m->has_source = false;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_native(m->path), ec)) continue;
    std::FILE* file = std::fopen(path_native(m->path).c_str(), "rb");
    if (!file) continue;
    std::unordered_map<uint32_t, const ExecPoint*> first;
    for (const ExecPoint& p : m->points) first.emplace(p.line, &p);
    std::string text;
    while (read_line(file, text)) {
      SourceLine line;
      line.number = static_cast<uint32_t>(m->lines.size() + 1);
      auto it = first.find(line.number);
      line.first_point = it == first.end() ? nullptr : it->second;
      line.text = std::move(text);
      m->lines.push_back(std::move(line));
    }
    std::fclose(file);
    m->has_source = true;
    m->line_count = static_cast<uint32_t>(m->lines.size() + 1);
  }
}

void Sld::link_functions_to_points() {
  for (auto& m : modules_) {
    // Assembler routines have points without function records around them;
    // the PC is located in them all the same.
    for (const ExecPoint& p : m->points) {
      code_low_ = std::min(code_low_, p.address);
      code_high_ = std::max(code_high_, p.address);
    }
    for (DebugFunction& f : m->functions) {
      for (const ExecPoint& p : m->points) {
        if (p.address == f.start_address) f.entry_point = &p;
        if (p.address == f.exit_address) f.exit_point = &p;
      }
      if (!f.entry_point && !m->points.empty()) f.entry_point = &m->points.front();
      if (!f.exit_point && !m->points.empty()) f.exit_point = &m->points.back();
    }
  }
}

const DebugFunction* Sld::sld_find_function(std::string_view name) {
  for (const auto& m : modules_) {
    for (const DebugFunction& f : m->functions) {
      if (f.name == name) {
        exec_module_ = m.get();
        return &f;
      }
    }
  }
  return nullptr;
}

// The entry record's symbol, else "startuplabel", else "start".
const ExecPoint* Sld::entry_search() {
  exec_module_ = nullptr;
  const DebugFunction* f = nullptr;
  if (!entry_symbol_.empty()) f = sld_find_function(entry_symbol_);
  if (!f) {
    host_.out_print("No user defined program entry, trying default 'startuplabel'\n");
    f = sld_find_function("startuplabel");
  }
  if (!f) {
    host_.out_print("trying default 'start'\n");
    f = sld_find_function("start");
  }
  if (!f || !f->entry_point) return nullptr;
  exec_module_->show_line = f->start_line;
  host_.out_print(format("Entry point '%s'\n", f->name.c_str()));
  return f->entry_point;
}

int Sld::sld_in_code(uint32_t address) {
  in_code_ = code_low_ <= address && address <= code_high_ ? 1 : 0;
  return in_code_;
}

std::optional<uint32_t> Sld::sld_frame_base(const DebugModule* module) {
  if (!module || module->language != 'C' || !target_) return std::nullopt;
  uint32_t pc = target_->target_get_pc();
  const DebugFunction* f = nullptr;
  for (const DebugFunction& g : module->functions)
    if (g.start_address <= pc && pc < g.end_address) f = &g;
  if (!f) return std::nullopt;
  auto known = frame_depths_.find(f);
  if (known == frame_depths_.end())
    known = frame_depths_.emplace(f, frame_depths(*target_, *module, *f)).first;
  auto depth = known->second.find(pc);
  if (depth == known->second.end()) return std::nullopt;
  return (target_->target_get_sp() + static_cast<uint32_t>(depth->second)) & 0xFFFF;
}

// The locals of the shown C module's function that strictly contains the PC:
// at a function's first instruction its frame is not built yet.
const std::vector<LocalSymbol>* Sld::sld_current_locals() {
  if (!shown_module_ || shown_module_->language != 'C' || !target_) return nullptr;
  uint32_t pc = target_->target_get_pc();
  for (const DebugFunction& f : shown_module_->functions)
    if (f.start_address < pc && pc < f.end_address) return &f.locals;
  return nullptr;
}

std::vector<const LocalSymbol*> Sld::sld_locals_in_scope() {
  std::vector<const LocalSymbol*> out;
  const std::vector<LocalSymbol>* locals = sld_current_locals();
  if (!locals) return out;
  std::optional<SourcePos> at;
  if (exec_point_ && exec_module_ == shown_module_) at = SourcePos{exec_point_->line, exec_point_->number2};
  auto in_scope = [&](const LocalSymbol& l) {
    return !l.block || (at && l.block->first <= *at && *at <= l.block->second);
  };
  // Blocks nest: of two in scope, the inner one opens later.
  auto inner = [](const LocalSymbol& a, const LocalSymbol& b) {
    return a.block && (!b.block || a.block->first > b.block->first);
  };
  for (const LocalSymbol& l : *locals) {
    if (!in_scope(l)) continue;
    bool shadowed = false;
    for (const LocalSymbol& other : *locals)
      if (&other != &l && other.name == l.name && in_scope(other) && inner(other, l)) shadowed = true;
    if (!shadowed) out.push_back(&l);
  }
  return out;
}

}  // namespace zun::sld
