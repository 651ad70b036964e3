// The source-level debugger's program model: the debug type table that the
// compiler's type lines fill, and the reader that builds modules, source
// lines, execution points, functions with their locals, globals, the code
// range and the entry from the "SX:" tail of a load file. Run control, the
// source window and the watch windows read the model through the operations
// below; they reach the outside world only through SldHost and SldTarget.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zun::sld {

// ---- outside interfaces ----

// What the model needs from the workbench around it.
class SldHost {
public:
  virtual ~SldHost() = default;
  // One message for the output window; the text carries its own "\n".
  virtual void out_print(std::string_view text) = 0;
  // A yes/no question in a message box; true for yes.
  virtual bool ask_yes_no(std::string_view question) = 0;
  // Posts a frame command (43098, machine-level simulation).
  virtual void post_command(int id) {}
  // The source window starts again at its top line.
  virtual void source_top_reset() {}
  // The status bar's text; empty clears it.
  virtual void status_text(std::string_view text) {}
  virtual void wait_cursor(bool on) {}
  // A modal message box over the frame with the stop icon; an empty caption
  // means the product title.
  virtual void error_box(std::string_view text, std::string_view caption) {}
  // The editors' debugger line markers are cleared.
  virtual void clear_debug_markers() {}
  // After every stop: the debugger window takes the focus and redraws from
  // the model, the watch windows repaint their rows.
  virtual void debugger_refresh() {}
  // Breakpoints belong to the loaded project; without one a session start
  // clears them.
  virtual bool project_loaded() { return true; }
};

// Reads and writes of the debugged target, and its program counter.
class SldTarget {
public:
  virtual ~SldTarget() = default;
  // 1, 2 or 4 bytes as a big-endian number; failed reads and other sizes give 0.
  virtual uint32_t target_read(uint32_t address, int size) = 0;
  // 1, 2 or 4 bytes, big-endian; other sizes write nothing.
  virtual void target_write(uint32_t address, uint32_t value, int size) = 0;
  virtual uint32_t target_get_pc() = 0;
  // Register S, from which the locals of the current function are found.
  virtual uint32_t target_get_sp() { return 0; }
  // The disassembly line of the instruction at `address`; returns the address
  // of the next instruction.
  virtual uint32_t disassemble_line(uint32_t address, std::string& line) = 0;
};

// Frame command that opens the machine-level simulation.
constexpr int kMachineLevelCommand = 43098;

// ---- type_table.cpp ----

constexpr int kTypeSlots = 5000;
constexpr int kTypeUnknown = 5000;  // no type
constexpr int kFirstUserType = 16;

// Base kinds of a type.
enum TypeKind : int {
  KIND_POINTER = 0,    // pointers, void, functions
  KIND_SIGNED = 1,
  KIND_UNSIGNED = -1,  // bit fields and long type records too
  KIND_FLOAT = 2,      // 4 bytes
  KIND_STRUCT = 4,     // structures and unions
  KIND_ARRAY = 5,
  KIND_EMPTY = -3,     // an empty slot
};

// One member of a structure or union, in declaration order.
struct TypeMember {
  std::string name;
  // The first number of the member's parenthesis: the offset of a plain
  // member, the storage size of a bit field.
  int32_t size = 0;
  int32_t bit_offset = -1;  // -1 for a plain member
  int32_t bit_width = -1;
  int type = kTypeUnknown;
  // Byte offset of the member in its structure: the recorded one for a plain
  // member; for a bit field that of its storage unit, which the type line does
  // not carry and which follows from the members before it.
  int32_t offset = 0;
  bool is_bit_field() const { return bit_width >= 0; }
};

struct TypeRecord {
  std::string module;  // module word of the line; empty for built-in and pointer-level records
  std::string tag;     // structure or union tag, empty when it has none
  int32_t size = 0;    // bytes; 2 for pointers; negative for an incomplete structure
  int32_t bit_width = 0;
  int32_t bit_offset = 0;
  char letter = 'W';
  bool is_union = false;
  std::vector<TypeMember> members;
  int alias = -1;  // the complete structure an incomplete one stands for
  int chain = -1;  // pointer level or array element: the type it leads to; -1 none
};

class TypeTable {
public:
  explicit TypeTable(SldHost& host);
  void type_table_reset();
  // One type line; `structure_pass` selects the structure lines ('Z') or all
  // others. 0 when taken or not for this pass, 1 when refused.
  int type_parse(std::string_view text, bool structure_pass);
  void type_link_incomplete();
  int type_error_count() const { return error_count_; }
  // '(typ11)' or '(typ17-x)': its id, or kTypeUnknown.
  int type_id_by_name(std::string_view text) const;
  int type_new_id(std::string_view text);
  int type_resolve(int id) const;
  // Every query resolves aliases first; ids outside the table read as empty.
  int32_t type_size(int id) const;
  int type_kind(int id) const;
  char type_letter(int id) const;
  int32_t type_bit_width(int id) const;
  int32_t type_bit_offset(int id) const;
  const TypeRecord* type_record(int id) const;
  int type_pointee(int id) const;
  std::string type_name(int id) const;
  // The record in a slot as it stands (no alias resolution); null when empty.
  const TypeRecord* slot(int id) const;
  // The names given out, in order, with their ids (aliases included).
  const std::vector<std::pair<std::string, int>>& user_names() const { return names_; }

private:
  int parse_plain(const std::string& module, const std::string& name, char letter,
                  std::string_view body, std::string_view text);
  int parse_structure(const std::string& module, std::string_view body, const std::string& name,
                      int id);
  int parse_chain(std::string_view text);
  void define_pointer(int id, std::string_view chain_text, const std::string& module);
  void define_array(int id, std::string_view body, const std::string& module);
  void add_name(const std::string& name, int id);
  void chain_text(const TypeRecord& record, char letter, int depth, std::string& out) const;
  void place_struct(int id, std::unique_ptr<TypeRecord> record, int by_tag,
                    const std::string& name);
  void place_bit_fields(TypeRecord& record) const;
  TypeRecord* mutable_slot(int id);

  SldHost& host_;
  std::vector<std::unique_ptr<TypeRecord>> slots_;
  std::vector<std::pair<std::string, int>> names_;
  std::unordered_map<std::string, int> name_ids_;
  int next_id_ = kFirstUserType;
  int pointer_levels_ = kFirstUserType;
  int error_count_ = 0;
  std::unordered_set<std::string> warned_tags_;
};

// ---- program model ----

struct ExecPoint {
  uint32_t line = 0;
  uint32_t number2 = 0;  // second number of C records, carried, not interpreted
  uint32_t address = 0;
};

struct SourceLine {
  uint32_t number = 0;  // from 1
  const ExecPoint* first_point = nullptr;
  std::string text;
};

struct DebugFunction;

// A position in a C source as the execution points carry it: the line and
// the column (their second number).
struct SourcePos {
  uint32_t line = 0, column = 0;
  auto operator<=>(const SourcePos&) const = default;
};

struct LocalSymbol {
  const DebugFunction* function = nullptr;
  std::string name;
  int32_t offset = 0;  // frame offset as written
  int type = kTypeUnknown;
  // A local of an inner block is in scope from its block's opening brace to
  // its closing one; the function's own locals have no block and are in
  // scope in the whole function.
  std::optional<std::pair<SourcePos, SourcePos>> block;
  // A static of the function's body: its address; it is read there, not
  // in the frame.
  std::optional<uint32_t> static_address;
};

struct DebugFunction {
  std::string name;    // assembler-level name (with the leading '_' of C functions)
  std::string c_name;  // empty until an 'S' record of class 'F' names it
  uint32_t start_line = 0, end_line = 0, exit_line = 0;
  const ExecPoint* entry_point = nullptr;
  const ExecPoint* exit_point = nullptr;
  uint32_t exit_address = 0;
  uint32_t start_address = 0, end_address = 0;
  std::vector<LocalSymbol> locals;
};

struct DebugModule {
  std::string name;
  char language = 'C';  // 'C' or 'A'
  bool has_source = false;
  std::string path;
  std::string file_name;
  std::vector<SourceLine> lines;
  std::deque<DebugFunction> functions;  // deque: locals point at their function
  uint32_t line_count = 0;              // source lines + 1
  uint32_t show_line = 0;
  std::deque<ExecPoint> points;         // deque: lines and functions point into it
  // The first point (in list order) on a line; null when none.
  const ExecPoint* first_point_on_line(uint32_t line) const;
  std::unordered_set<uint64_t> point_keys;  // address and line of every point, against repeats
};

struct GlobalSymbol {
  // The name a watch shows: the name of a global, "module:name" of a static,
  // "module:function:name" of a function's static.
  std::string display_name() const {
    return is_global ? name : module + ":" + (function.empty() ? "" : function + ":") + name;
  }
  std::string name;
  std::string module;
  std::string function;  // the C name of the function whose static it is; empty at file scope
  bool is_global = false;  // class 'G'; false for a file-static
  uint32_t address = 0;
  int type = kTypeUnknown;
};

// ---- frame.cpp ----

// Bytes a PSHS or PULS post byte moves: CC, A, B, DP one each, X, Y, U, PC two.
int32_t stacked_bytes(uint32_t post);

// How many bytes S lies below the frame base of a function (S at its
// statement points, from where its locals count), per instruction address
// that its code reaches; empty when the code does not tell.
using FrameDepths = std::map<uint32_t, int32_t>;
FrameDepths frame_depths(SldTarget& target, const DebugModule& m, const DebugFunction& f);
// The addresses the code of `f` calls directly (JSR extended, BSR, LBSR).
std::vector<uint32_t> direct_calls(SldTarget& target, const DebugFunction& f);

// What sld_read_value fills.
struct SldValue {
  uint32_t pointer = 0;
  uint32_t value = 0;
  uint32_t high = 0;
  // Byte i (0-7) of what sld_read_bytes8 read, in memory order.
  uint8_t byte(int i) const {
    uint32_t word = i < 4 ? value : high;
    return static_cast<uint8_t>(word >> (8 * (i % 4)));
  }
};

class Sld {
public:
  // `install_dir`: the directory of the workbench's programs; module paths
  // that begin with '.' are taken relative to it.
  Sld(SldHost& host, std::string install_dir, SldTarget* target = nullptr);
  void set_target(SldTarget* target) { target_ = target; }

  // ---- debug_reader.cpp ----
  // 1 when the model was built, -1 on any failure (reported through the host).
  int sld_read_debug_info(const std::string& load_file);
  // One record: an "SX" line from its fourth character on. 1 when used.
  int sld_parse_record(std::string_view record);

  // ---- program_model.cpp ----
  void sld_modules_free();
  const std::vector<std::unique_ptr<DebugModule>>& modules() const { return modules_; }
  DebugModule* sld_module_find(std::string_view name) const;
  DebugModule* sld_module_find_by_file(std::string_view file_name) const;
  // Searches every module's functions by name; sets the execution module to
  // the module where it is found.
  const DebugFunction* sld_find_function(std::string_view name);
  int sld_in_code(uint32_t address);
  const std::vector<LocalSymbol>* sld_current_locals();
  // Of sld_current_locals, those in scope at the current execution point,
  // in list order: of locals of one name the innermost. An inner block's
  // locals are out of scope where no execution point tells the position.
  std::vector<const LocalSymbol*> sld_locals_in_scope();
  // The frame base of the C function of `module` that holds the PC
  // (start <= PC < end); none without one, or when its code does not tell.
  std::optional<uint32_t> sld_frame_base(const DebugModule* module);
  const std::vector<GlobalSymbol>& sld_globals() const { return globals_; }
  uint32_t code_low() const { return code_low_; }
  uint32_t code_high() const { return code_high_; }
  const std::string& entry_symbol() const { return entry_symbol_; }
  const ExecPoint* entry() const { return entry_; }
  DebugModule* entry_module() const { return entry_module_; }
  TypeTable& types() { return types_; }
  const TypeTable& types() const { return types_; }

  // ---- display.cpp ----
  void sld_read_value(int type, SldValue& value, uint32_t address);
  void sld_read_bytes8(SldValue& value, uint32_t address);
  void sld_write_value(int type, uint32_t address, uint32_t value);
  int sld_module_is_asm() const;
  DebugModule* sld_shown_module() const { return shown_module_; }
  DebugModule* sld_exec_module() const { return exec_module_; }
  void set_exec_module(DebugModule* module) { exec_module_ = module; }
  const ExecPoint* sld_exec_point() const { return exec_point_; }
  const std::string& sld_shown_file_name() const { return shown_file_name_; }
  const std::string& sld_shown_path() const { return shown_path_; }
  uint32_t sld_shown_line_count() const;
  int sld_shown_is_exec() const;
  void sld_set_exec_point(const ExecPoint* point);
  void sld_show_module(DebugModule* module);
  void sld_show_file(const DebugModule* module);
  int sld_line_has_point(uint32_t line) const;
  uint32_t sld_exec_line() const;
  int sld_is_disassembly_view() const;
  // Source lines of the shown module from `line` on, or the disassembly from
  // the target's PC when it has none. The iterators give false at the end.
  void sld_lines_from(uint32_t line);
  bool sld_line_next(std::string& text);
  bool sld_line_prev(std::string& text);
  void sld_reset_display();

private:
  // ---- program_model.cpp ----
  int sld_module_add(const std::string& name, const std::string& path, char language);
  void sld_function_bound(std::string_view module, std::string_view name, uint32_t address,
                          uint32_t line, bool start);
  void sld_point_add(std::string_view module, uint32_t line, uint32_t number2, uint32_t address);
  void sld_exit_point(std::string_view module, uint32_t line, uint32_t number2,
                      uint32_t address);
  void sld_local_add(std::string_view module, std::string_view function, std::string_view name,
                     int32_t offset, std::string_view type, std::string_view block);
  void sld_global_add(std::string_view module, std::string_view name, uint32_t address,
                      std::string_view type, bool is_global, std::string_view function = {});
  void drop_codeless_points();
  void read_sources();
  void link_functions_to_points();
  const ExecPoint* entry_search();
  // ---- debug_reader.cpp ----
  int parse_function_record(char kind, char language, const std::vector<std::string_view>& f);
  int parse_symbol_record(const std::vector<std::string_view>& f);
  void decline_debugging(std::string_view question);

  SldHost& host_;
  std::string install_dir_;
  SldTarget* target_;
  TypeTable types_;
  std::vector<std::unique_ptr<DebugModule>> modules_;
  std::vector<GlobalSymbol> globals_;
  std::string entry_symbol_;
  const ExecPoint* entry_ = nullptr;
  DebugModule* entry_module_ = nullptr;
  uint32_t code_low_ = 0xFFFF, code_high_ = 0;
  int in_code_ = 0;
  // The frame depths of the functions asked for so far.
  std::unordered_map<const DebugFunction*, FrameDepths> frame_depths_;
  // Display state.
  DebugModule* shown_module_ = nullptr;
  DebugModule* exec_module_ = nullptr;
  const ExecPoint* exec_point_ = nullptr;
  std::string shown_path_, shown_file_name_;
  // Line iteration.
  bool disassembly_ = false;
  uint32_t disassembly_address_ = 0;
  int forward_ = -1, backward_ = -1;  // indices into the shown module's lines; -1 none
};

// The model in a stable text form (the sld-dump tool and its tests).
std::string sld_dump_text(const Sld& sld);
// The directory of the running program (the sld tools): module paths that
// begin with '.' and the configuration are found from it.
std::string sld_program_dir(const char* argv0);

}  // namespace zun::sld
