// Path helpers. Paths are kept with '/' but read with either separator.
// Canonical and relative forms are computed from the text alone: a build must
// give the same names whether or not the files exist yet.
#include "common/path.h"

#include <vector>

namespace zun {

namespace {

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool has_drive(std::string_view p) { return p.size() >= 2 && p[1] == ':' && is_letter(p[0]); }

// A path split into its root ("", "/", "C:", "C:/") and its components.
struct SplitPath {
  std::string root;
  std::vector<std::string_view> parts;
};

SplitPath split_path(std::string_view p) {
  SplitPath s;
  size_t i = 0;
  if (has_drive(p)) {
    s.root.assign(p.substr(0, 2));
    i = 2;
  }
  if (i < p.size() && is_path_sep(p[i])) {
    s.root.push_back('/');
    while (i < p.size() && is_path_sep(p[i])) ++i;
  }
  while (i < p.size()) {
    size_t j = i;
    while (j < p.size() && !is_path_sep(p[j])) ++j;
    s.parts.push_back(p.substr(i, j - i));
    while (j < p.size() && is_path_sep(p[j])) ++j;
    i = j;
  }
  return s;
}

// Resolves "." and ".."; ".." stays only where it cannot be resolved in a
// relative path, and is dropped at a root.
std::vector<std::string_view> resolve(const SplitPath& s) {
  bool rooted = !s.root.empty() && s.root.back() == '/';
  std::vector<std::string_view> out;
  for (std::string_view part : s.parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!out.empty() && out.back() != "..") out.pop_back();
      else if (!rooted) out.push_back(part);
      continue;
    }
    out.push_back(part);
  }
  return out;
}

std::string join_parts(const std::vector<std::string_view>& parts, size_t from) {
  std::string out;
  for (size_t i = from; i < parts.size(); ++i) {
    if (!out.empty()) out.push_back('/');
    out.append(parts[i]);
  }
  return out;
}

// The root for path_same_root: "" for a relative path, the drive letter folded,
// "/" for a single leading separator, "//server/share" folded for UNC names.
std::string root_key(std::string_view p) {
  if (has_drive(p)) return std::string(1, fold(p[0])) + ":";
  if (p.empty() || !is_path_sep(p[0])) return {};
  if (p.size() < 2 || !is_path_sep(p[1])) return "/";
  std::string key = "//";
  size_t i = 2;
  for (int part = 0; part < 2 && i < p.size(); ++part) {
    if (part) key.push_back('/');
    while (i < p.size() && !is_path_sep(p[i])) key.push_back(fold(p[i++]));
    while (i < p.size() && is_path_sep(p[i])) ++i;
  }
  return key;
}

}  // namespace

size_t path_last_sep(std::string_view path) { return path.find_last_of("/\\"); }

std::string path_file_name(std::string_view path) {
  size_t sep = path_last_sep(path);
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string path_base_name(std::string_view path) {
  std::string name = path_file_name(path);
  size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string path_dir_name(std::string_view path) {
  size_t sep = path_last_sep(path);
  if (sep == std::string_view::npos) return {};
  if (sep == 0) return std::string(path.substr(0, 1));
  return std::string(path.substr(0, sep));
}

void path_to_slashes(std::string& path) {
  for (char& c : path)
    if (c == '\\') c = '/';
}

void path_to_backslashes(std::string& path) {
  for (char& c : path)
    if (c == '/') c = '\\';
}

std::string path_collapse_seps(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    if (is_path_sep(path[i]) && i + 1 < path.size() && is_path_sep(path[i + 1])) {
      out.push_back('/');
      ++i;
      continue;
    }
    out.push_back(path[i] == '\\' ? '/' : path[i]);
  }
  return out;
}

std::string path_canonicalize(std::string_view path) {
  if (path.empty()) return {};
  SplitPath s = split_path(path);
  std::string out = s.root;
  out += join_parts(resolve(s), 0);
  if (out.empty()) out = ".";
  return out;
}

void path_canonicalize_inplace(std::string& path) { path = path_canonicalize(path); }

std::string path_join(std::string_view dir, std::string_view name) {
  if (dir.empty() || !path_is_relative(name)) return path_canonicalize(name);
  std::string joined(dir);
  joined.push_back('/');
  joined.append(name);
  return path_canonicalize(joined);
}

bool path_same_root(std::string_view a, std::string_view b) {
  std::string ka = root_key(a);
  return !ka.empty() && ka == root_key(b);
}

bool path_is_relative(std::string_view path) {
  return !(has_drive(path) || (!path.empty() && is_path_sep(path[0])));
}

bool path_climbs_out(std::string_view relative) { return relative == ".." || relative.starts_with("../"); }

std::string path_make_relative(std::string_view base_dir, std::string_view path) {
  if (base_dir.empty() || path_is_relative(path) || !path_same_root(base_dir, path))
    return std::string(path);
  SplitPath sb = split_path(base_dir);
  SplitPath sp = split_path(path);
  std::vector<std::string_view> b = resolve(sb);
  std::vector<std::string_view> p = resolve(sp);
  size_t common = 0;
  while (common < b.size() && common < p.size() && b[common] == p[common]) ++common;
  std::string rest = join_parts(p, common);
  if (common == b.size()) return rest.empty() ? "." : "./" + rest;
  std::string out;
  for (size_t i = common; i < b.size(); ++i) out += (i == common) ? ".." : "/..";
  if (!rest.empty()) out += "/" + rest;
  return out;
}

int path_compare_base_names(std::string_view a, std::string_view b) {
  auto stem = [](std::string_view p) {
    size_t sep = path_last_sep(p);
    if (sep != std::string_view::npos) p = p.substr(sep + 1);
    size_t dot = p.rfind('.');
    return dot == std::string_view::npos ? p : p.substr(0, dot);
  };
  std::string_view x = stem(a), y = stem(b);
  for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
    int d = static_cast<unsigned char>(fold(x[i])) - static_cast<unsigned char>(fold(y[i]));
    if (d) return d;
  }
  return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

std::string path_native(std::string_view path) {
  std::string out(path);
  path_to_slashes(out);
  return out;
}

}  // namespace zun
