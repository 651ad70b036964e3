// Line readers that drop a CR before LF, from a FILE, a stream or memory.
#include "common/line_reader.h"

namespace zun {

bool read_line(std::FILE* file, std::string& line) {
  line.clear();
  if (!file) return false;
  int c;
  bool any = false;
  // getc_unlocked: the tools read their sources line by line and are
  // single-threaded, so the per-character lock of getc is wasted time.
  while ((c = getc_unlocked(file)) != EOF) {
    any = true;
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
  return any;
}

bool read_line(std::istream& in, std::string& line) {
  line.clear();
  if (!std::getline(in, line)) return false;
  // getline sets eof without fail for a last line without '\n': that line
  // counts, but a CR there did not stand before an LF.
  if (!in.eof() && !line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool next_line(std::string_view text, size_t& pos, std::string_view& line) {
  if (pos >= text.size()) return false;
  size_t end = text.find('\n', pos);
  if (end == std::string_view::npos) {
    line = text.substr(pos);
    pos = text.size();
    return true;
  }
  size_t n = end - pos;
  if (n > 0 && text[end - 1] == '\r') --n;
  line = text.substr(pos, n);
  pos = end + 1;
  return true;
}

}  // namespace zun
