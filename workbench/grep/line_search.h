// The search behind the workbench's own grep and fgrep: one text, a fixed
// string or a POSIX extended regular expression, looked for line by line in
// one file, every hit printed as a message line the output window can jump
// from: "<path>" (<line>) <text>.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zun::grep {

struct SearchOptions {
  bool regex = false;        // grep: extended regular expression; fgrep: fixed text
  bool ignore_case = false;  // -y
  bool whole_words = false;  // -w: the hit is neither preceded nor followed by a letter, digit or '_'
  std::string text;
  std::string path;
};

// The arguments behind the program name: options first, then the text and the
// path, always the last two arguments, so a text beginning with '-' is still
// the text. Nullopt with the reason in `error` for anything else.
std::optional<SearchOptions> parse_arguments(std::span<const std::string> args, bool regex, std::string& error);

// Decides whether a line holds the text.
class LineMatcher {
 public:
  // Nullopt with the reason in `error` when the expression does not compile.
  static std::optional<LineMatcher> create(const SearchOptions& options, std::string& error);
  LineMatcher(LineMatcher&&) noexcept;
  LineMatcher& operator=(LineMatcher&&) noexcept;
  ~LineMatcher();
  // Whether a line, which holds no line end, holds the text.
  bool matches(std::string_view line) const;
  // In a block of lines, each ended by a '\n': where the first line at or
  // after `from` (a line's start) that holds the text begins, or npos.
  size_t find_line(std::string_view block, size_t from) const;

 private:
  struct Compiled;
  LineMatcher() = default;
  SearchOptions options_;
  bool never_ = false;  // the fixed text holds a line end
  // The fixed text; for an expression its automaton and, when
  // `prefilter_`, a text every match holds, to look for first.
  std::unique_ptr<Compiled> compiled_;
  bool prefilter_ = false;
};

// The whole program: usage, the search of one file, the hit lines on
// standard output, messages on standard error. The exit code is the number of
// hit lines (at most 254), or 255 when the search failed.
inline constexpr int max_hit_code = 254;
inline constexpr int failure_code = 255;
int run(std::string_view program, std::span<const std::string> args, bool regex);

}  // namespace zun::grep
