// Line readers that end a line at LF, CR LF or a lone CR, from a FILE, a
// stream or memory, and the opener that takes only regular files.
#include "common/line_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "common/path.h"

namespace zun {

LineStatus read_line(std::FILE* file, std::string& line, size_t max_length) {
  line.clear();
  if (!file) return LineStatus::End;
  int c;
  bool any = false;
  // getc_unlocked: the tools read their sources line by line and are
  // single-threaded, so the per-character lock of getc is wasted time.
  while ((c = getc_unlocked(file)) != EOF) {
    any = true;
    if (c == '\n') return LineStatus::Line;
    if (c == '\r') {
      int next = getc_unlocked(file);
      if (next != '\n' && next != EOF) ungetc(next, file);
      return LineStatus::Line;
    }
    if (line.size() >= max_length) {
      ungetc(c, file);
      return LineStatus::TooLong;
    }
    line.push_back(static_cast<char>(c));
  }
  return any ? LineStatus::Line : LineStatus::End;
}

LineStatus read_lines(std::FILE* file, std::vector<std::string>& lines, size_t max_length) {
  if (!file) return LineStatus::End;
  constexpr size_t kBlock = size_t{1} << 16;
  auto block = std::make_unique_for_overwrite<char[]>(kBlock);
  std::string line;
  bool any = false;        // `line` has begun: a last line without an end still counts
  bool after_cr = false;   // the previous block ended with CR: a LF next belongs to it
  for (size_t n; (n = std::fread(block.get(), 1, kBlock, file)) > 0;) {
    const char* p = block.get();
    const char* end = p + n;
    if (after_cr && *p == '\n') ++p;
    after_cr = false;
    while (p < end) {
      const char* stop = p;
      while (stop < end && *stop != '\n' && *stop != '\r') ++stop;
      if (line.size() + static_cast<size_t>(stop - p) > max_length) return LineStatus::TooLong;
      line.append(p, stop);
      any = true;
      if (stop == end) break;
      lines.push_back(std::move(line));
      line.clear();
      any = false;
      p = stop + 1;
      if (*stop == '\r') {
        if (p == end) after_cr = true;
        else if (*p == '\n') ++p;
      }
    }
  }
  if (any) lines.push_back(std::move(line));
  return LineStatus::End;
}

bool read_line(std::FILE* file, std::string& line) {
  return read_line(file, line, std::string::npos) == LineStatus::Line;
}

bool read_line(std::istream& in, std::string& line) {
  line.clear();
  bool any = false;
  for (int c; (c = in.get()) != std::char_traits<char>::eof();) {
    any = true;
    if (c == '\n') return true;
    if (c == '\r') {
      if (in.peek() == '\n') in.get();
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
  return any;
}

bool next_line(std::string_view text, size_t& pos, std::string_view& line) {
  if (pos >= text.size()) return false;
  size_t end = pos;
  while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
  if (end == text.size()) {
    line = text.substr(pos);
    pos = text.size();
    return true;
  }
  line = text.substr(pos, end - pos);
  pos = end + 1;
  if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  return true;
}

std::FILE* open_input_file(const std::string& path, std::string& reason) {
  std::string native = path_native(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) {
    reason = std::strerror(errno);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file";
    return nullptr;
  }
  std::FILE* file = std::fopen(native.c_str(), "rb");
  if (!file) {
    reason = std::strerror(errno);
    return nullptr;
  }
  // The name may have been replaced between the two looks.
  if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(file);
    reason = "is not a regular file";
    return nullptr;
  }
  return file;
}

}  // namespace zun
