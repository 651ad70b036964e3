// Line readers for text files made on any system: a line ends at '\n', and a
// CR right before that '\n' is dropped, so Windows-made files read the same.
// Lines have no length limit; a last line without '\n' is still a line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <istream>
#include <string>
#include <string_view>

namespace zun {

// One line into `line` without its end; false at end of file with nothing read.
bool read_line(std::FILE* file, std::string& line);
bool read_line(std::istream& in, std::string& line);

// The same over text already in memory: the line starting at `pos` goes into
// `line` (a view into `text`) and `pos` moves behind its end; false when `pos`
// is at the end of the text.
bool next_line(std::string_view text, size_t& pos, std::string_view& line);

}  // namespace zun
