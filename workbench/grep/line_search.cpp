// The line search of grep and fgrep and the run of either program.
#include "workbench/grep/line_search.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/line_reader.h"
#include "common/output_file.h"
#include "common/path.h"
#include "workbench/grep/ere.h"

namespace zun::grep {

namespace {

bool is_word_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = fold(c);
  return out;
}

std::string usage(std::string_view program) {
  return "usage: " + std::string(program) + " [-y] [-w] \"TEXT\" \"PATH\"\n"
         "  -y  ignore the case of letters\n"
         "  -w  match whole words only\n";
}

}  // namespace

std::optional<SearchOptions> parse_arguments(std::span<const std::string> args, bool regex, std::string& error) {
  SearchOptions o;
  o.regex = regex;
  if (args.size() < 2) {
    error = "a text and a file must be named";
    return std::nullopt;
  }
  const size_t options_end = args.size() - 2;
  for (size_t i = 0; i < options_end; ++i) {
    const std::string& a = args[i];
    if (a == "--" && i + 1 == options_end) break;
    if (a.size() < 2 || a[0] != '-') {
      error = "unexpected argument '" + a + "'";
      return std::nullopt;
    }
    for (size_t k = 1; k < a.size(); ++k) {
      if (a[k] == 'y')
        o.ignore_case = true;
      else if (a[k] == 'w')
        o.whole_words = true;
      else {
        error = "unknown option '-" + std::string(1, a[k]) + "'";
        return std::nullopt;
      }
    }
  }
  o.text = args[options_end];
  o.path = args[options_end + 1];
  if (o.path.empty()) {
    error = "the file name is empty";
    return std::nullopt;
  }
  return o;
}

struct LineMatcher::Compiled {
  Program program;
};

LineMatcher::LineMatcher(LineMatcher&&) noexcept = default;
LineMatcher& LineMatcher::operator=(LineMatcher&&) noexcept = default;
LineMatcher::~LineMatcher() = default;

std::optional<LineMatcher> LineMatcher::create(const SearchOptions& options, std::string& error) {
  LineMatcher m;
  m.options_ = options;
  if (!options.regex) {
    m.folded_text_ = options.ignore_case ? folded(options.text) : options.text;
    return m;
  }
  if (options.text.find('\0') != std::string::npos) {
    error = "the regular expression holds a NUL character";
    return std::nullopt;
  }
  std::optional<Node> tree = parse_ere(options.text, options.ignore_case, error);
  std::optional<Program> program = tree ? Program::compile(*tree, options.whole_words, error) : std::nullopt;
  if (!program) {
    error = "bad regular expression '" + options.text + "': " + error;
    return std::nullopt;
  }
  m.compiled_ = std::make_unique<Compiled>(Compiled{std::move(*program)});
  return m;
}

bool LineMatcher::fixed_matches(std::string_view line) const {
  std::string folded_line;
  if (options_.ignore_case) {
    folded_line = folded(line);
    line = folded_line;
  }
  const std::string_view text = folded_text_;
  if (!options_.whole_words) return line.find(text) != std::string_view::npos;
  for (size_t at = line.find(text); at != std::string_view::npos; at = line.find(text, at + 1)) {
    const size_t end = at + text.size();
    if ((at == 0 || !is_word_char(line[at - 1])) && (end == line.size() || !is_word_char(line[end]))) return true;
    if (at == line.size()) break;
  }
  return false;
}

bool LineMatcher::matches(std::string_view line) const {
  if (!compiled_) return fixed_matches(line);
  return compiled_->program.search(line);
}

int run(std::string_view program, std::span<const std::string> args, bool regex) {
  const std::string name(program);
  auto fail = [&](const std::string& text) {
    write_stream(stderr, name + ": " + text + "\n");
    return failure_code;
  };
  std::string error;
  std::optional<SearchOptions> options = parse_arguments(args, regex, error);
  if (!options) {
    write_stream(stderr, name + ": " + error + "\n" + usage(program));
    return failure_code;
  }
  std::optional<LineMatcher> matcher = LineMatcher::create(*options, error);
  if (!matcher) return fail(error);
  std::string reason;
  std::FILE* file = open_input_file(path_native(options->path), reason);
  if (!file) return fail("can't open \"" + options->path + "\": " + reason);

  const std::string prefix = "\"" + options->path + "\" (";
  std::string out, line;
  long hits = 0, number = 0;
  bool written = true;
  LineStatus status;
  while ((status = read_line(file, line, kMaxTextLine)) == LineStatus::Line) {
    ++number;
    if (!matcher->matches(line)) continue;
    ++hits;
    out += prefix;
    out += std::to_string(number);
    out += ") ";
    out += line;
    out += '\n';
    if (out.size() >= 64 * 1024) {
      written = written && write_stream(stdout, out);
      out.clear();
    }
  }
  const int read_errno = std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
  std::fclose(file);
  written = written && write_stream(stdout, out);
  if (!written) return fail("can't write the results: " + std::string(std::strerror(errno)));
  if (status == LineStatus::TooLong)
    return fail("line " + std::to_string(number + 1) + " of \"" + options->path + "\" is longer than " +
                std::to_string(kMaxTextLine) + " characters, the file is not searched further");
  if (read_errno != 0) return fail("can't read \"" + options->path + "\": " + std::strerror(read_errno));
  return hits > max_hit_code ? max_hit_code : static_cast<int>(hits);
}

}  // namespace zun::grep
