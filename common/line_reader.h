// Line readers for text files made on any system: a line ends at LF, at CR LF
// or at a lone CR (the editor keeps files with CR line ends as they are). A
// last line without an end is still a line. The tools read with a limit, so
// that a file without line ends (a binary file, a device) ends the read at
// once instead of filling memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace zun {

// Longest physical line of a source, script or project file, and of a record
// file (object, archive, S-records), in characters.
inline constexpr size_t kMaxTextLine = size_t{1} << 20;
inline constexpr size_t kMaxRecordLine = size_t{16} << 20;

enum class LineStatus : unsigned char {
  Line,     // `line` holds the next line without its end
  End,      // end of file (or a read error), nothing read
  TooLong,  // the line has more than the limit; `line` holds its first part
};

// One line into `line` without its end. After TooLong the rest of that line
// is still unread: the caller is expected to stop reading the file.
LineStatus read_line(std::FILE* file, std::string& line, size_t max_length);

// All lines of the file at once, read in large blocks: the same lines as
// calling read_line until the end. Returns End after the last line, or
// TooLong after the lines before the first one beyond the limit.
LineStatus read_lines(std::FILE* file, std::vector<std::string>& lines, size_t max_length);

// The same without a limit, for text the program wrote itself.
bool read_line(std::FILE* file, std::string& line);
bool read_line(std::istream& in, std::string& line);

// The same over text already in memory: the line starting at `pos` goes into
// `line` (a view into `text`) and `pos` moves behind its end; false when `pos`
// is at the end of the text.
bool next_line(std::string_view text, size_t& pos, std::string_view& line);

// Opens an existing regular file for reading in binary mode. A directory, a
// device, a FIFO or a socket is refused before it is opened (a FIFO would
// block, a device may never end). Null with the reason in `reason` otherwise
// ("is a directory", "is not a regular file", or the system's text).
std::FILE* open_input_file(const std::string& path, std::string& reason);

}  // namespace zun
