// What the editors need from files without a window: the file kind by
// extension, the backup copy's name, the end-of-line mode a file uses, whole
// files in and out as bytes (every write checked), and where a new editor
// window is placed.
#include "workbench/core/workbench_core.h"

#include <cstdio>
#include <memory>

#include "common/path.h"

namespace zun::wb {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string lower_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Extension to kind; the first column is compared in lower case.
struct KindRow {
  std::string_view ext;
  int kind;
};
constexpr KindRow kind_table[] = {
    {"s09", file_kind::assembler}, {"asm", file_kind::assembler},    {"c", file_kind::c_source},
    {"h", file_kind::header},      {"lsc", file_kind::linker_script}, {"adb", file_kind::ada_body},
    {"ads", file_kind::ada_spec},
};

}  // namespace

int file_kind_of(std::string_view path) {
  std::string name = path_file_name(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return file_kind::other;
  std::string ext = lower_ascii(std::string_view(name).substr(dot + 1));
  ext = ext.substr(0, ext.find('"'));
  for (const KindRow& row : kind_table)
    if (row.ext == ext) return row.kind;
  return file_kind::other;
}

bool is_makeable_kind(int kind) { return kind == file_kind::assembler || kind == file_kind::c_source; }

std::string backup_path_of(std::string_view path) {
  size_t sep = path_last_sep(path);
  if (sep == std::string_view::npos) return "~" + std::string(path) + "~";
  return std::string(path.substr(0, sep + 1)) + "~" + std::string(path.substr(sep + 1)) + "~";
}

EolMode detect_eol(std::string_view bytes) {
  size_t at = bytes.find_first_of("\r\n");
  if (at == std::string_view::npos || bytes[at] == '\n') return EolMode::Lf;
  return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? EolMode::CrLf : EolMode::Cr;
}

std::optional<std::string> read_file_bytes(const std::string& path) {
  File f(std::fopen(path_native(path).c_str(), "rb"));
  if (!f) return std::nullopt;
  std::string bytes;
  char block[65536];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, f.get())) > 0) bytes.append(block, n);
  if (std::ferror(f.get())) return std::nullopt;
  return bytes;
}

bool write_file_bytes(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path_native(path).c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  return std::fclose(f) == 0 && ok;
}

bool copy_file_bytes(const std::string& from, const std::string& to) {
  std::optional<std::string> bytes = read_file_bytes(from);
  return bytes && write_file_bytes(to, *bytes);
}

std::pair<int, int> WindowPlacement::next() {
  if (y_ == 0 || y_ >= 281) x_ = y_ = 200;
  std::pair<int, int> at{x_, y_};
  x_ += 20;
  y_ += 20;
  return at;
}

}  // namespace zun::wb
