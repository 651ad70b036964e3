// Shared state and cross-file functions of hasm09. One Assembly holds every
// piece of state of one run; the stages below read and change it. Sections
// follow the source files that define the functions.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "assembler/assembler.h"
#include "common/output_file.h"

namespace zun::hasm {

// Symbol flags; the values are those of the symbol records the tools have
// always written in dumps, so they stay as numbers.
enum SymbolFlag : uint32_t {
  SymDefined = 0x0001,
  SymMultiple = 0x0002,
  SymExternal = 0x0004,
  SymGlobal = 0x0008,
  SymUndefined = 0x0020,   // referenced but not (yet) defined
  SymConstant = 0x0040,    // equ, set, '#define'
  SymEntry = 0x0100,
  SymExit = 0x0200,
  SymPpDefine = 0x0400,
  SymRedefinable = 0x1000, // set
  SymForward = 0x2000,     // referenced before its definition
};

struct Segment {
  std::string name;
  uint32_t pc = 0;       // location counter; after pass 2 the size
  bool far = false;      // "seg:!" form; nothing in this assembler sets it
  std::string code;      // code records of pass 2
};

struct Symbol {
  std::string name;
  int first_line = 0;      // running line of the definition or first reference
  int exit_line = 0;       // function exit marker
  int first_ref_line = 0;  // first reference, for the forward-reference warning
  uint32_t value = 0;      // segment-relative for labels
  uint32_t exit_value = 0;
  Segment* segment = nullptr;  // none for externals; "abs" for constants
  uint32_t flags = 0;
  int size = 0;   // element size of a data label; -1 for command line, equ, undefined
  int count = 0;  // element count of a data label
  std::string module;  // source module that defined it (debug records)
  std::string file;    // file in which it was entered (messages)
  bool from_command_line = false;  // -D
};

// Result of evaluating an operand expression.
struct ExprResult {
  uint32_t value = 0;          // what goes into the field: the whole value when absolute
  bool relocatable = false;    // the linker must add the target below
  Symbol* reloc_symbol = nullptr;   // RG target when global or external
  Segment* reloc_segment = nullptr; // RL target segment; none for externals
  uint32_t reloc_value = 0;         // RL target's segment-relative value
  bool uses_symbol = false;    // a symbol appears (forces 16-bit offsets)
  bool undefined = false;      // an undefined or external symbol appears
};

enum class ExprTok : uint8_t { Other, Number, Symbol, Loc, Register, LParen, RParen, Op };

// Binary operators in two groups: multiplicative ones bind tighter and group
// from the right; the rest share one level and group from the left.
enum class ExprOp : uint8_t {
  Add, Sub, Mul, Div, Mod, Shl, Shr, And, Or, Xor, LogOr, LogAnd, Eq, Ne, Le, Ge, Not, Compl
};

// A token of an expression; `column` counts from the start of the line.
struct ExprToken {
  ExprTok kind = ExprTok::Other;
  ExprOp op = ExprOp::Add;
  int column = 0;
  uint32_t value = 0;
  std::string_view name;
};

enum class AddrMode : uint8_t { None, Immediate, Direct, Indexed, Extended };

struct Operand {
  AddrMode mode = AddrMode::None;
  uint8_t postbyte = 0;
  int offset_bytes = 0;  // bytes behind the post-byte: 0, 1 or 2
  bool pcr = false;      // offset is PC-relative
  ExprResult expr;
};

enum class OpKind : uint8_t {
  General, Inherent, PageGeneral, ShortBranch, Transfer, LongBranch, PushPull, PageInherent
};

// One mnemonic as this assembler spells it, with the forms the datasheet gives.
struct Mnemonic {
  const char* name;
  const char* datasheet_name;  // the shared table's spelling (lsl -> asl, bhs -> bcc)
  uint8_t mode_class;          // bits: 1 immediate, 2 direct, 4 indexed, 8 extended; 16 inherent
  OpKind kind;
  bool imm16;
  // Opcode for each mode, page prefix in the high byte; -1 where the mode is absent.
  int immediate = -1, direct = -1, indexed = -1, extended = -1, inherent = -1;
};

struct IncludeEntry {
  std::string path;
  std::string module;
  FILE* file = nullptr;
  int stopped_line = 0;
  int cond_depth = 0;  // conditional depth when the file was opened
};

struct SourceFile {
  std::string module;
  std::string path;
};

struct Message {
  bool is_error;
  std::string text;
};

// Line state of the listing and of the error rules.
struct LineState {
  std::string text;           // the line as read, without its newline
  const char* pos = nullptr;  // scan position inside text
  bool error = false;         // an error was reported on this line
  bool show_address = false;
  uint32_t address = 0;
  Segment* segment = nullptr;  // segment at the start of the line
  bool byte_mode = false;
  bool instruction = false;    // the line assembled an instruction
  bool equ_value = false;      // list `address` as a four-byte value
  bool was_assembling = true;  // the line began outside a false conditional block
  bool file_changed_before = false;  // the reader moved to another file for this line
  std::vector<uint8_t> bytes;  // code bytes of the line, for the listing (max 120)
};

// FNV-1a over the name; lets the symbol index be searched with a view of the
// source line, without copying the name first.
struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const {
    uint64_t h = 1469598103934665603ull;
    for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return static_cast<size_t>(h);
  }
};

struct CondLevel {
  int state = 0;  // 0 not yet taken, 1 taken, 2 in the else part
  std::string file;  // where its #if stands, for the report of an open level
  int line = 0;
};

constexpr int MaxNameLength = 128;
constexpr int MaxCondDepth = 20;
constexpr size_t MaxLineLength = 4093;

struct Assembly {
  Assembly(const Options& options, Report& report);
  ~Assembly();

  const Options& opt;
  Report& report;

  int pass = 1;
  bool tsc = false;               // 'option TSC'
  bool compiler_output = false;   // a FILE line was seen: debug language 'C'
  bool listing_enabled = false;
  bool list_cond = false;
  bool nolist_after_line = false;
  bool file_changed = false;      // listing writes "---- File:" once the line is listed
  uint8_t direct_page = 0;

  int errors = 0;
  int warnings = 0;
  bool phase_error_reported = false;
  bool silenced = false;          // a second phase error stops all later errors

  // Names.
  std::string program_dir;
  std::string start_dir;
  std::string record_name;
  bool record_from_command_line = false;
  int file_directive_line = 0;
  std::string module_name;
  std::string object_name;
  std::string base_name;

  // Source input.
  std::vector<IncludeEntry> include_stack;
  std::string open_refusal;  // why the last failed open_source found no usable file
  std::vector<SourceFile> source_files;  // newest first
  std::vector<std::string> include_dirs;
  std::string current_path;    // canonical path for messages
  std::string current_module;
  int line_in_file = 0;
  int running_line = 0;
  bool end_seen = false;
  std::string pending_tail;    // the physical line being read, its next part at pending_at
  size_t pending_at = 0;
  bool have_pending_tail = false;  // a part of an over-long line is still to come
  std::string read_fault;      // why the line could not be read whole; reported at it
  std::vector<std::string> opened_paths;  // every source file of pass 1, as opened

  // Conditionals.
  int cond_depth = 0;
  int skip_level = 0;
  CondLevel cond[MaxCondDepth + 1];
  bool cond_overflow_reported = false;

  LineState line;

  // Segments, in creation order, and by name (a source may hold thousands).
  std::deque<Segment> segments;
  std::unordered_map<std::string, Segment*, NameHash, std::equal_to<>> segment_index;
  Segment* current = nullptr;
  uint32_t pc = 0;
  std::string record;  // hex of the code record being collected (16 bytes)
  Segment* record_segment = nullptr;
  Segment* abs_segment = nullptr;

  // Symbols: buckets keep the order of the global-symbol records, the map
  // makes lookup cheap.
  std::deque<Symbol> symbol_store;
  std::vector<Symbol*> buckets[256];
  std::unordered_map<std::string, Symbol*, NameHash, std::equal_to<>> symbol_index;
  Symbol* last_data_label = nullptr;
  bool entry_defined = false;
  uint32_t entry_value = 0;

  // Records of pass 2, gathered until the object file is written.
  std::string global_relocs;
  std::string local_relocs;
  std::string debug_records;
  // Outputs; each replaces its file only when it is complete.
  std::unique_ptr<OutputFile> object;
  std::unique_ptr<OutputFile> listing;
  std::unique_ptr<OutputFile> byte_array;

  // Debug state (.stab).
  std::string c_file_name;
  bool block_file_pending = false;
  std::string debug_dir;
  struct ArrayType { int number, count, element_size; };
  std::vector<ArrayType> array_types;

  // Mnemonic lookup, built once per run from the shared opcode table.
  std::vector<Mnemonic> mnemonic_rows;
  // Every directive name in lower case: most operation words are mnemonics,
  // and one lookup here spares them the walk through the dialect tables.
  std::unordered_set<std::string_view> directive_words;
  std::unordered_map<std::string_view, const Mnemonic*> mnemonics;

  // Pass-1 location advance of each line, so that an error line of pass 2
  // keeps the addresses of the lines behind it.
  std::vector<uint32_t> line_advance;

  // Token buffer of the expression scanner, reused from line to line.
  std::vector<ExprToken> expr_tokens;
};

// A fatal stop (e.g. an internal fault); caught in run().
struct FatalStop {
  std::string text;
};

// ---- passes.cpp ----
void error(Assembly& as, const std::string& text);
void warning(Assembly& as, const std::string& text);
void warning_at(Assembly& as, const std::string& file, int line, const std::string& text);

// ---- line_lexer.cpp ----
void assemble_line(Assembly& as);
bool is_label_start(char c);
bool is_label_char(char c);
// Reads a symbol name (identifier rules of expressions) at p into name; returns
// the position behind it, or p when no name starts there.
const char* scan_name(const char* p, std::string& name);

// ---- source_input.cpp ----
// False when no file of the name can be used; `open_refusal` then says why
// when one was there (empty: there is none).
bool open_source(Assembly& as, const std::string& name);
bool read_next_line(Assembly& as);
void close_all_sources(Assembly& as);
std::string module_of(std::string_view path, size_t max_length);

// ---- preproc.cpp ----
bool assembling(const Assembly& as);
void preprocessor_line(Assembly& as, int code, const char* rest);
void reset_conditionals(Assembly& as);
// Warns of every conditional opened above `depth` (the depth at which the
// ending file was opened) and closes them.
void close_open_conditionals(Assembly& as, int depth);

// ---- expr.cpp ----
// Operand expression at as.line.pos; advances pos. False after a reported error.
bool eval_operand(Assembly& as, ExprResult& result);
// Absolute expression from text (the line's own text); false after an error.
// With not_absolute given, symbols that are not yet absolute are counted there
// instead of being reported.
bool eval_absolute(Assembly& as, const char*& pos, uint32_t& value, int* not_absolute = nullptr);
// An absolute expression that must fill its operand field: anything behind it
// but a blank or the end reports "Bad constant delimiter".
bool eval_absolute_field(Assembly& as, const char*& pos, uint32_t& value,
                         int* not_absolute = nullptr);
// Absolute value of text that is not part of the line (e.g. -D values).
bool eval_absolute_text(Assembly& as, const std::string& text, uint32_t& value,
                        int* not_absolute = nullptr);
// Register name at p ("A", "PCR", ...), its length in *length; -1 when none.
int register_at(const char* p, int* length);

enum Register : int { RegD = 0, RegX, RegY, RegU, RegS, RegPC, RegA = 8, RegB, RegCC, RegDP, RegPCR = 16 };

// ---- symtab.cpp ----
Symbol* find_symbol(Assembly& as, std::string_view name);
Symbol* enter_symbol(Assembly& as, std::string_view name, uint32_t value, int line, uint32_t flags,
                     int size);
Symbol* reference_symbol(Assembly& as, std::string_view name);
Symbol* define_label(Assembly& as, std::string_view name, uint32_t value, bool phase_check);
enum class Declare : uint8_t { External, Global, Entry, Exit };
void declare_symbol(Assembly& as, std::string_view name, Declare kind);
void symbols_between_passes(Assembly& as);
void make_undefined_external(Assembly& as);
void write_global_symbols(Assembly& as, std::string& out);
void end_of_run_debug(Assembly& as);
std::string fold_name(const Assembly& as, std::string_view name);

// ---- object_writer.cpp ----
Segment* find_segment(Assembly& as, std::string_view name);
Segment* select_segment(Assembly& as, std::string_view name);
// The segment of constants, made when first needed.
Segment* abs_segment(Assembly& as);
void emit_byte(Assembly& as, uint8_t b);
void emit_word(Assembly& as, uint16_t w);
void emit_long(Assembly& as, uint32_t l);
void emit_zeros(Assembly& as, uint32_t count);
void flush_record(Assembly& as);
enum class RelocType : char { A = 'A', O = 'O', P = 'P', F = 'F' };
// Records that the field of `size` bytes just emitted needs the linker's
// addition of e's target; pc_adjust is added to the field offset ('P' only).
void relocation(Assembly& as, const ExprResult& e, int size, RelocType type);
// The object file's text from the records gathered in pass 2.
std::string object_text(Assembly& as);

// ---- encode.cpp ----
void build_mnemonics(Assembly& as);
const Mnemonic* find_mnemonic(const Assembly& as, std::string_view word);
void encode(Assembly& as, const Mnemonic& m);
// Emits the value of a data or immediate field with its relocation entry.
void emit_field(Assembly& as, const ExprResult& e, int size);

// ---- directives.cpp ----
void build_directive_words(Assembly& as);
int lookup_directive(Assembly& as, const char* word, size_t length);
int lookup_pp_keyword(Assembly& as, const char*& pos);
bool directive_defines_label(int code);
void do_directive(Assembly& as, int code, const std::string& label);
void register_data_size(Assembly& as, int count, int element_size);

// ---- listing.cpp ----
void list_line(Assembly& as);
void list_banner(Assembly& as);
void list_symbol_header(Assembly& as);
void list_symbol(Assembly& as, const Symbol& s);

// ---- debug_info.cpp ----
void stab_line(Assembly& as);
void skip_stab_line(Assembly& as);
void debug_module_records(Assembly& as);
void debug_exec_point(Assembly& as);
void debug_type_records(Assembly& as);
void debug_data_symbol(Assembly& as, Symbol& s);

// ---- options.cpp ----
extern const char* const ProgramName;   // "HASM09"
extern const char* const ProcessorName; // "MC6809"
extern const char* const Version;       // "1.8.0"
extern const char* const NoticeLine;

}  // namespace zun::hasm
