// Internal records of one vlk run and the functions the stages share. One
// `Link` holds everything; the sections below follow the source files.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/line_reader.h"
#include "common/text.h"
#include "linker/linker.h"

namespace zun::vlk {

inline constexpr const char* kVersion = "4.8.1";
inline constexpr uint32_t kUnset = 0xFFFFFFFFu;  // address of a segment not placed yet
inline constexpr size_t kMaxSymbolName = 127;
inline constexpr size_t kMaxSegmentName = 127;
inline constexpr int kMaxLibraryRounds = 15;
// The largest segment the loader takes into memory: the whole 24-bit space
// that S2 records can address.
inline constexpr uint32_t kMaxSegmentSize = 0x1000000;

// Script and map attribute bits.
enum Attribute : unsigned { AttrR = 1, AttrW = 2, AttrX = 4, AttrC = 8, AttrE = 16 };

struct Segment;
struct Input;
struct Library;
struct Group;

// A text file read whole. `continued` marks the lines that continue a debug
// record ending in '\' (type texts), so that record scans never mistake them
// for records of their own.
struct TextLines {
  std::vector<std::string> lines;
  std::vector<uint8_t> continued;
};

struct Module {
  std::string name;
  std::string type;  // type word, "O09" from hasm09
  std::string file;  // object name from the header record
  Input* input = nullptr;
};

struct SegmentPart {
  Segment* segment = nullptr;
  uint32_t offset = 0;  // where this input's bytes start in the merged segment
  uint32_t size = 0;
};

struct Input {
  std::string name;  // as named on the command line; empty for library members
  std::string path;  // the file read; "~~v%dL" names a member taken from a library
  TextLines text;
  size_t body = 0;  // first line after the "mod:"/"seg:"/"xmod:" header
  Module* module = nullptr;
  std::vector<Module*> modules;  // the "mod:" module, then the "xmod:" ones
  std::vector<SegmentPart> parts;
  bool extracted = false;
  bool linked_object = false;
  bool read = false;
  Library* library = nullptr;  // the archive a member came from
};

struct Symbol {
  std::string name;
  uint32_t value = 0;
  Segment* segment = nullptr;  // none for linker-defined symbols
  Input* input = nullptr;      // defining or first referencing input
  Module* module = nullptr;
  Library* library = nullptr;  // set for definitions pulled from a library
  Symbol* bound = nullptr;     // references: the definition
  bool no_library = false;     // references: no library offers the name
};

struct Segment {
  std::string name;
  uint32_t size = 0;
  uint32_t address = kUnset;
  uint32_t reloc_base = kUnset;
  bool paged = false;
  Segment* follows = nullptr;
  Group* group = nullptr;
  unsigned attributes = 0;
  bool assigned = false;
  uint32_t group_offset = 0;
  Symbol* start_symbol = nullptr;
  Symbol* end_symbol = nullptr;
  Symbol* size_symbol = nullptr;
  int truncations = 0;
};

struct Library {
  std::string path;
  TextLines text;
  std::set<size_t> extracted;  // "mod:" line numbers of members taken out
};

struct LibrarySymbol {
  std::string name;
  Library* library = nullptr;
  size_t member_line = 0;  // the member's "mod:" line in the archive
  std::string member;      // the member's module name
  bool needed = false;
  bool multiple = false;
};

struct MemoryBlock {
  uint32_t start = 0, end = 0;  // end exclusive
  unsigned attributes = 0;
  int line = 0;
};

struct GroupMember {
  std::string name;
  int line = 0;
};

struct Group {
  std::string name;
  unsigned attributes = 0;
  std::vector<GroupMember> names;   // script groups: the names as written
  std::vector<Segment*> segments;   // members in the order they joined
  uint32_t base = kUnset;
  uint32_t size = 0;
  Segment* first = nullptr;
  int line = 0;
  bool in_layout = false;
};

struct LayoutEntry {
  uint32_t start = 0, end = 0;  // end inclusive
  std::string group_name;
  Group* group = nullptr;
  int line = 0;
};

// Thrown by fatal(); run() catches it and ends with exit code 1.
struct FatalStop {};

enum class Level { Warning = 0, Error = 1, Fatal = 2 };

struct Link {
  explicit Link(Console& c) : console(c) {}
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  Console& console;

  // Run settings.
  bool loader = true;
  bool linear = false;  // -hl
  bool debug = false;
  bool verbose = false;
  bool make_archive = false;
  bool substitute_source = false;
  std::string source_dir;
  bool map_by_name = false;  // -m
  bool map_by_output = false;  // -M
  bool rom_code = false;
  bool no_warnings = false;  // -w: kept, nothing reads it
  bool have_output = false;
  std::string output;
  std::string output_base;
  std::string map_name;
  std::string type_word;
  long errors = 0;

  // Inputs and the link database.
  std::vector<std::string> input_names;
  std::vector<std::unique_ptr<Input>> inputs;
  std::vector<std::unique_ptr<Module>> modules;
  std::vector<std::unique_ptr<Segment>> segments;
  std::vector<std::unique_ptr<Symbol>> globals;
  std::vector<std::unique_ptr<Symbol>> references;
  std::unordered_map<std::string, Symbol*> global_index, reference_index;
  Symbol* rom_code_symbol = nullptr;
  Symbol* heap_symbol = nullptr;

  // Libraries.
  std::vector<std::string> library_dirs;
  std::vector<std::string> library_names;
  std::vector<std::unique_ptr<Library>> libraries;
  std::vector<LibrarySymbol> library_index;
  std::unordered_map<std::string, size_t> library_lookup;  // name -> library_index slot
  int member_number = 0;

  // Scripts and placement.
  std::vector<std::string> script_paths;
  std::vector<std::string> scripts_read;
  std::vector<std::string> scripts_open;  // nesting guard
  bool have_entry = false;
  std::string entry;
  std::vector<MemoryBlock> memory;
  std::vector<std::unique_ptr<Group>> script_groups;
  std::vector<LayoutEntry> layout;
  bool have_groups = false;  // the scripts gave a group statement
  bool have_layout = false;  // ... and a layout statement
  std::vector<std::unique_ptr<Group>> groups;  // the groups placement uses
  std::vector<Segment*> emission;
  bool overlapping = false;

  // The blocks of the linked object, gathered while the inputs are copied.
  std::string code_block, global_block, reloc_block, module_debug_block, segment_debug_block;

  // Files of the run.
  bool want_map = false;
  std::string map;  // the map text, written out at the end
  Input* linked = nullptr;
};

// ---- driver.cpp ----
void message(Link& link, Level level, const std::string& text);
[[noreturn]] void fatal(Link& link, const std::string& text);
void warning(Link& link, const std::string& text);
void error(Link& link, const std::string& text);
void print_out(Link& link, const std::string& text);
// Lines of text already in memory (the linked object, a library member).
void text_lines(std::string_view content, TextLines& text);
struct ReadStatus {
  bool opened = false;  // a regular file that could be read
  int long_line = 0;    // the first line beyond the limit; 0 when none
};
// Reads a regular file whole; lines longer than max_line end the reading.
ReadStatus read_text_file(const std::string& name, TextLines& text, size_t max_line);
// An object or archive: a file that cannot be opened is fatal `cant_open`
// (a format with one %s), and so is a line beyond the record limit.
void read_record_file(Link& link, const std::string& name, TextLines& text, const char* cant_open);
std::string absolute_name(const std::string& name);

// ---- options.cpp ----
// Parses options from args[first..]; returns the index of the first input
// name. Throws FatalStop for the fatal option messages.
size_t parse_options(Link& link, const std::vector<std::string>& args, size_t first,
                     bool from_script);
void print_usage(Link& link);
void work_out_names(Link& link);
void print_verbose_settings(Link& link);

// ---- object_reader.cpp ----
std::vector<std::string_view> split_fields(std::string_view line);
// The fields of a record of a fixed shape, without allocating: `count` is
// the number of fields in the line, `field` holds the first ones.
struct RecordFields {
  std::array<std::string_view, 10> field;
  size_t count = 0;
};
RecordFields split_record(std::string_view line);
std::optional<uint32_t> parse_hex(std::string_view text);
std::optional<uint32_t> parse_dec(std::string_view text);
std::optional<uint32_t> parse_size(std::string_view text);  // 0x/$ hex, digit: decimal, else hex
std::string_view record_segment(std::string_view line);  // the field after "X:" up to ':' or a blank
bool is_code_record_of(std::string_view line, std::string_view segment);
void mark_continuations(TextLines& text);

struct RelocRecord {
  bool global = false;
  std::string segment, module;
  uint32_t offset = 0;
  char type = 0, size = 0;
  uint32_t value = 0;      // RL only
  std::string target;      // RL: symbol's segment; RG: symbol name
  int line = 0;
};
std::optional<RelocRecord> parse_reloc(std::string_view line);

struct GlobalRecord {
  std::string segment, module, name;
  uint32_t value = 0;
};
std::optional<GlobalRecord> parse_global(std::string_view line);

Segment* find_segment(Link& link, std::string_view name);
Segment* enter_segment(Link& link, std::string_view name);
Input* enter_input(Link& link, const std::string& name, const std::string& path);
bool read_module_header(Link& link, Input& input, bool as_linked_object);
// True when the text ends with the end record of a module ("e"), or of an
// archive ("E") whose every member ends with its own.
bool has_end_record(const TextLines& text);
bool check_module(Link& link, Input& input, bool as_linked_object);
void segment_option(Link& link, const std::string& value);
Module* find_input_module(Input& input, std::string_view name);
SegmentPart* find_part(Input& input, const Segment* segment);
bool read_segment_bytes(Link& link, const Segment& segment, std::vector<uint8_t>& bytes);

// ---- resolve.cpp ----
Symbol* find_global(Link& link, std::string_view name);
Symbol* find_reference(Link& link, std::string_view name);
Symbol* define_linker_symbol(Link& link, const std::string& name);
void enter_segment_symbols(Link& link, Segment& segment);
void read_definitions(Link& link, Input& input);
int read_references(Link& link, Input& input);
void refresh_values(Link& link, Input& linked);
int bind_references(Link& link);
bool report_undefined(Link& link);
void adjust_definitions(Link& link);
void set_linker_symbols(Link& link);
std::string symbol_name(std::string_view text, Link* link);
std::string module_file(const Input* input);

// ---- library.cpp ----
void resolve_libraries(Link& link);
void index_libraries(Link& link);
int search_round(Link& link);
void finish_libraries(Link& link);

// ---- link_output.cpp ----
void merge_offsets(Link& link);
void copy_inputs(Link& link);
std::string linked_object_text(Link& link, const std::string& file_field);
std::string archive_text(Link& link);

// ---- debug_records.cpp ----
enum class DebugScope { Module, Segment, Global, Static, Drop };
DebugScope debug_scope(std::string_view line);
// Module-level lines of one input, with their continuation lines.
void copy_module_debug(Link& link, const TextLines& text, size_t from, bool sx_form,
                       std::string& out);
// A segment-level record, read once: the segment it names and the address
// or value that moves with the segment.
struct SegmentDebugRecord {
  RecordFields fields;
  char language = 0, kind = 0;
  std::string_view segment;
  uint32_t value = 0;
};
std::optional<SegmentDebugRecord> parse_segment_debug(std::string_view line);
// The record of `line` with its address or value moved by `offset`.
void write_segment_debug(std::string_view line, const SegmentDebugRecord& record,
                         uint32_t offset, bool sx_form, std::string& out);
void write_debug_tail(Link& link, std::string& out);

// ---- script.cpp ----
// Reads a script named by -i; false when it failed to parse.
bool read_script(Link& link, const std::string& name);

// ---- place.cpp ----
int place_segments(Link& link);  // number of faults
std::string attribute_text(unsigned attributes);

// ---- relocate.cpp ----
struct InsvalResult {
  uint32_t value = 0;
  bool truncated = false;
  bool ok = true;
};
InsvalResult insval(Link& link, std::vector<uint8_t>& bytes, uint32_t offset, uint32_t base,
                    uint32_t target, char type, char size);
bool relocate_segment(Link& link, Segment& segment, std::vector<uint8_t>& bytes);

// ---- srec_writer.cpp ----
class SrecWriter {
 public:
  explicit SrecWriter(std::string& out) : out_(out) {}
  void header();
  void data(std::span<const uint8_t> bytes, uint32_t address);
  void end(uint32_t entry);

 private:
  void record(int type, uint32_t address, std::span<const uint8_t> data);
  std::string& out_;
};
uint32_t entry_address(Link& link);
// The "_clean" copy of the load file text for ROM code; returns the exit code.
int write_clean_copy(Link& link, std::string_view load);
std::string clean_name(const std::string& output);

// ---- map.cpp ----
void write_link_summary(Link& link);
void write_script_sections(Link& link);

}  // namespace zun::vlk
