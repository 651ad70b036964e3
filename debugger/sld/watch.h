// The watch model behind the "Global symbols" and "Auto symbols" windows:
// one entry per tree row, built from the row's type, expanded into pointees,
// array elements and members, read from target memory and shown in five
// views, and edited in place. The windows only show the rows and forward
// clicks; everything else happens here.
#pragma once
#include "debugger/sld/sld.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zun::sld {

// View formats of a row.
enum WatchFormat : uint8_t {
  FORMAT_HEX = 0,
  FORMAT_SIGNED = 1,
  FORMAT_IEEE = 2,
  FORMAT_BINARY = 3,
  FORMAT_UNSET = 246,
  FORMAT_UNSIGNED = 255,
};

// Node kinds of a row.
enum WatchNode : char {
  NODE_NONE = 0,
  NODE_VALUE = 'd',
  NODE_BIT_FIELD = 'k',
  NODE_POINTER = 'f',           // can be expanded
  NODE_FUNCTION_POINTER = 'l',  // cannot
  NODE_ARRAY = 'g',
  NODE_UNION = 'h',
  NODE_STRUCT = 'i',
  NODE_STRUCT_BITS = 'j',  // a structure in which a bit-field member was built
};

// Scopes of a row.
constexpr char kScopeGlobal = 'd';
constexpr char kScopeStatic = 'e';
constexpr char kScopeAuto = 'f';

struct WatchEntry {
  uint8_t format = FORMAT_UNSET;
  std::string name;    // symbol, member or element name; empty for a pointee
  std::string module;  // a static's module
  std::string function;  // the function whose static it is; empty at file scope
  // Global: the symbol's address; auto: its frame offset (as frame_offset).
  uint32_t address = 0;
  // Offset from the start of the object the row lies in: the top-level
  // object, or the object a pointer points to.
  uint32_t member_offset = 0;
  uint32_t frame_offset = 0;
  uint32_t element_index = 0;  // index + 1 for array elements
  int type = kTypeUnknown;
  int32_t size = 0;
  uint16_t bit_width = 0, bit_shift = 0;
  char scope = kScopeGlobal;
  // A row of the auto window for a static of the function: it lies at
  // `address`, not in the frame.
  bool static_local = false;
  bool top_level = false;
  char node_kind = NODE_NONE;
  bool has_children = false;
  bool expanded = false;
  bool editable = false;
  std::unique_ptr<WatchEntry> pointee;
  std::vector<std::unique_ptr<WatchEntry>> elements;
  std::vector<std::unique_ptr<WatchEntry>> members;
  // The row whose `base` this row's offset counts from (a pointer row, or
  // none for rows inside a top-level object).
  WatchEntry* parent = nullptr;
  uint32_t base = 0;
  WatchEntry* union_root = nullptr;  // outermost union around the row
  bool pointee_not_pointer = false;
  SldValue value;
  std::string value_text;

  // The child rows in the order the tree shows them.
  std::vector<WatchEntry*> children() const;
};

class SldWatches {
public:
  static constexpr int kSlots = 100;
  static constexpr int kUsableSlots = 99;
  static constexpr uint32_t kMaxElements = 100;

  SldWatches(Sld& model, SldTarget& target, SldHost& host);

  // A watch of the global or static whose display name ("name" or
  // "module:name") is the text; its row becomes the first root row of the
  // global tree. Null when the symbol is unknown ("Symbol Not Found"),
  // already watched, or no slot is left ("No space for watch").
  WatchEntry* watch_add_global(const std::string& name);
  WatchEntry* watch_add_auto(const LocalSymbol& local);
  // Re-reads every top-level row.
  void watch_refresh();
  // Rebuilds the auto rows when the function that holds the PC changed,
  // then re-reads them.
  void watch_refresh_autos();
  // Global and static watches move to the kept table; autos are freed.
  void watch_session_end();
  // The kept watches whose symbols still exist come back.
  void watch_restore();
  void watch_free_all();

  // Root rows, top first.
  const std::vector<WatchEntry*>& global_rows() const { return global_rows_; }
  const std::vector<WatchEntry*>& auto_rows() const { return auto_rows_; }
  // The display names of all global symbols (the global window's combobox).
  std::vector<std::string> watch_symbol_names() const;
  bool watch_is_watched(const GlobalSymbol& symbol) const;

  // Text of the name column.
  std::string watch_row_name(const WatchEntry& e) const;
  // Builds the children of a row (message boxes for arrays that cannot be
  // shown whole); false when it has none to show.
  bool watch_expand(WatchEntry& e);
  void watch_collapse(WatchEntry& e);
  void watch_read(WatchEntry& e);
  // Commits the in-place editor's text. A text equal to the shown one writes
  // nothing. False after an "Illegal Value" box or for a row that cannot be
  // edited.
  bool watch_edit(WatchEntry& e, const std::string& text);
  // The row's view and that of the rows it points to; re-reads the row.
  void watch_set_format(WatchEntry& e, uint8_t format);
  // A top-level row of the global window goes with its children.
  void watch_remove(WatchEntry& e);
  // Bumped whenever a value text of the window's rows was made: the window
  // repaints when it changed.
  unsigned repaint_count(bool autos) const { return autos ? auto_repaints_ : global_repaints_; }

  // The value text of a row as it stands (exposed for the views and tests).
  std::string value_text(const WatchEntry& e) const;
  // The name a top-level row is looked up by: the symbol's display name.
  static std::string display_name(const WatchEntry& e);

private:
  using Slots = std::array<std::unique_ptr<WatchEntry>, kSlots>;
  void build(WatchEntry& e, int type, WatchEntry* built_under);
  void expand_pointer(WatchEntry& e);
  void expand_struct(WatchEntry& e);
  void expand_array(WatchEntry& e);
  uint32_t row_address(const WatchEntry& e);
  // Where the autos' offsets count from: the current function's frame base,
  // or S where its code does not tell.
  uint32_t locals_base();
  void make_text(WatchEntry& e);
  void read_children_of(WatchEntry& e, WatchEntry* parent);
  int free_slot() const;
  void free_autos();
  WatchEntry* find_session(const std::string& display_name) const;

  Sld& model_;
  SldTarget& target_;
  SldHost& host_;
  Slots session_;
  Slots kept_;
  std::vector<WatchEntry*> global_rows_, auto_rows_;
  std::vector<const LocalSymbol*> last_locals_;
  unsigned global_repaints_ = 0, auto_repaints_ = 0;
};

}  // namespace zun::sld
