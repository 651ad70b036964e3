// Find in files: histories, wildcard patterns, the walk over the folders and
// the count of the hits.
#include "workbench/build/find_in_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/format.h"
#include "common/path.h"
#include "workbench/build/process_runner.h"
#include "workbench/grep/line_search.h"

namespace zun::wb {

namespace fs = std::filesystem;

namespace {

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Iterative match with backtracking to the last '*': linear in practice and
// never recursive, whatever the pattern.
bool glob(std::string_view p, std::string_view s) {
  size_t pi = 0, si = 0, star = std::string_view::npos, resume = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == '?' || fold(p[pi]) == fold(s[si]))) {
      ++pi, ++si;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      resume = si;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      si = ++resume;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

struct DirEntry {
  std::string name;
  bool folder = false;  // a real folder, not a link to one
  bool file = false;    // a regular file, links followed
};

// The entries of one folder in name order; false when it cannot be listed.
bool list_folder(const std::string& dir, std::vector<DirEntry>& out) {
  std::error_code ec;
  fs::directory_iterator it(path_native(dir), ec);
  if (ec) return false;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return false;
    DirEntry e;
    e.name = it->path().filename().string();
    std::error_code ignored;
    e.folder = it->symlink_status(ignored).type() == fs::file_type::directory;
    e.file = it->status(ignored).type() == fs::file_type::regular;
    out.push_back(std::move(e));
  }
  if (ec) return false;
  std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  return true;
}

}  // namespace

void SearchHistory::push(std::string_view text) {
  if (text.size() > max_length_) {
    size_t cut = max_length_;
    // Back to the start of a UTF-8 character.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut);
  }
  if (text == entries_[0]) return;
  std::move_backward(entries_.begin(), entries_.end() - 1, entries_.end());
  entries_[0] = std::string(text);
}

std::vector<std::string> SearchHistory::filled() const {
  std::vector<std::string> out;
  for (const std::string& e : entries_)
    if (!e.empty()) out.push_back(e);
  return out;
}

void prepare_find_dialog(FindSettings& settings, const std::string& current_dir) {
  if (settings.folder.filled().empty()) settings.folder.push(current_dir);
  if (settings.types.filled().empty()) settings.types.push(default_file_types);
}

bool wildcard_match(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;
  return glob(pattern, name);
}

std::vector<std::string> split_file_types(std::string_view types) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= types.size()) {
    size_t end = types.find(';', start);
    if (end == std::string_view::npos) end = types.size();
    std::string_view p = types.substr(start, end - start);
    while (!p.empty() && (p.front() == ' ' || p.front() == '\t')) p.remove_prefix(1);
    while (!p.empty() && (p.back() == ' ' || p.back() == '\t')) p.remove_suffix(1);
    if (!p.empty()) out.emplace_back(p);
    start = end + 1;
  }
  return out;
}

GrepCommand grep_command(const FindSettings& settings, const std::string& file) {
  GrepCommand c;
  c.program = settings.regex ? "grep" : "fgrep";
  if (!settings.match_case) c.args.push_back("-y");
  if (settings.whole_words) c.args.push_back("-w");
  c.args.push_back(settings.what.current());
  c.args.push_back(file);
  return c;
}

FileSearch::Outcome FileSearch::run(const FindSettings& settings, const std::string& base_dir) {
  settings_ = &settings;
  cancelled_ = stopped_ = false;
  occurrences_ = 0;
  error_.clear();
  if (settings.regex) {
    grep::SearchOptions o;
    o.regex = true;
    o.text = settings.what.current();
    o.ignore_case = !settings.match_case;
    o.whole_words = settings.whole_words;
    if (!grep::LineMatcher::create(o, error_)) return Outcome::BadExpression;
  }
  std::string folder = settings.folder.current();
  path_to_slashes(folder);
  folder = path_canonicalize(path_is_relative(folder) ? path_join(base_dir, folder) : folder);
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(path_native(folder), ec)) return Outcome::NoFolder;

  patterns_ = split_file_types(settings.types.current());
  running_ = true;
  hooks_.print(format("Searching for '%s'\n", settings.what.current().c_str()));
  searchFolder(folder);
  running_ = false;
  if (stopped_) return Outcome::Stopped;
  if (cancelled_) {
    hooks_.print("Search cancelled\n");
    return Outcome::Cancelled;
  }
  if (occurrences_ > 0)
    hooks_.print(format("Search finished, %d occurance(s) found\n", occurrences_));
  else
    hooks_.print("Search finished, no occurances found\n");
  return Outcome::Finished;
}

void FileSearch::searchFolder(const std::string& dir) {
  std::vector<DirEntry> entries;
  if (!list_folder(dir, entries)) {
    hooks_.print(format("Can't read folder '%s'\n", dir.c_str()));
    return;
  }
  for (const std::string& pattern : patterns_)
    for (const DirEntry& e : entries) {
      if (cancelled_ || stopped_) return;
      if (e.file && wildcard_match(pattern, e.name)) searchFile(path_join(dir, e.name));
    }
  if (!settings_->subfolders) return;
  for (const DirEntry& e : entries) {
    if (cancelled_ || stopped_) return;
    if (e.folder && e.name[0] != '.') searchFolder(path_join(dir, e.name));
  }
}

void FileSearch::searchFile(const std::string& path) {
  hooks_.poll();
  if (cancelled_) return;
  GrepCommand c = grep_command(*settings_, path);
  int rc = hooks_.run(c);
  if (rc == run_cancelled) {
    cancelled_ = true;
  } else if (rc >= 0 && rc <= grep::max_hit_code) {
    occurrences_ += rc;
  } else if (rc < 0) {
    // The runner has said why; a program that cannot run will not run for
    // the next file either.
    if (rc == run_abnormal_end)
      hooks_.print("Search stopped\n");
    else
      hooks_.print(format("Search stopped, %s could not be run\n", c.program.c_str()));
    stopped_ = true;
  }
  // grep's failure code: it named the file and the reason, the search goes on.
}

}  // namespace zun::wb
