// The debugger source pane's colouring, without a window: tab expansion to
// the pane's character cells, and the colour runs of an assembler line and
// of a C line (with the block-comment state carried from line to line). The
// pane paints the runs cell by cell.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zun::sldwin {

enum class Ink : uint8_t {
  Black,     // C text, blanks
  Grey,      // assembler comments and what follows the operand
  Label,     // assembler label, green
  Mnemonic,  // assembler mnemonic, blue
  Operand,   // assembler operand, red
  Comment,   // C comments, light green
  Keyword,   // C keywords, dark blue
  Number,    // C numbers, dark red
  Operator,  // C operator characters, cyan
  String,    // C strings and character constants, purple
};

struct InkRun {
  int start = 0;
  int length = 0;
  Ink ink = Ink::Black;
  bool operator==(const InkRun&) const = default;
};

// A tab moves to the next column whose 1-based number is a multiple of 6; a
// line feed (or a carriage return before it) ends the line.
std::string expand_tabs(std::string_view line);

// Colour runs over an expanded line; they cover it from start to end.
std::vector<InkRun> colour_asm_line(std::string_view text);
// `in_comment` is the state at the start of the line and is left as the
// state at its end.
std::vector<InkRun> colour_c_line(std::string_view text, bool& in_comment);

// Whether the line below `above` starts inside a block comment; `above`
// holds the lines above it, nearest first. Each is read from its end: the
// first "*/" found means outside, the first "/*" inside.
bool c_comment_open_before(std::span<const std::string> above);
// One line read from its end: +1 when "/*" comes first, -1 for "*/", 0 for
// neither.
int c_comment_mark_from_end(std::string_view line);

}  // namespace zun::sldwin
