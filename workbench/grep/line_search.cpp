// The line search of grep and fgrep and the run of either program.
#include "workbench/grep/line_search.h"

#include <algorithm>
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

std::string usage(std::string_view program) {
  return "usage: " + std::string(program) + " [-y] [-w] \"TEXT\" \"PATH\"\n"
         "  -y  ignore the case of letters\n"
         "  -w  match whole words only\n";
}

// Reads a file in large blocks and hands them on as whole lines, each ended
// by one '\n' whatever its end was: LF, CR LF or a lone CR. A last line
// without an end is given one.
class LineBlocks {
 public:
  LineBlocks(std::FILE* file, size_t max_line) : file_(file), max_line_(max_line) {}
  // The next lines; empty at the end of the file, or at a line longer than
  // the limit (`too_long`), after the lines before it.
  std::string_view next();
  bool too_long() const { return too_long_; }

 private:
  static constexpr size_t block = size_t{1} << 16;
  size_t drop_carriage_returns(char* p, size_t n);
  std::FILE* file_;
  size_t max_line_;
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
  size_t size_ = 0;    // the bytes in the buffer
  size_t handed_ = 0;  // the lines handed on at its start
  bool after_cr_ = false;  // the last read ended with a CR: a LF next belongs to it
  bool at_end_ = false;
  bool too_long_ = false;
};

std::string_view LineBlocks::next() {
  // What follows the lines handed on is the beginning of a line.
  if (handed_ > 0) std::memmove(buffer_.get(), buffer_.get() + handed_, size_ - handed_);
  size_ -= handed_;
  handed_ = 0;
  if (too_long_) return {};
  for (;;) {
    if (capacity_ < size_ + block + 1) {
      capacity_ = std::max({2 * capacity_, size_ + block + 1, 2 * block});
      auto bigger = std::make_unique_for_overwrite<char[]>(capacity_);
      if (size_ > 0) std::memcpy(bigger.get(), buffer_.get(), size_);
      buffer_ = std::move(bigger);
    }
    char* const begun = buffer_.get() + size_;
    const size_t read = at_end_ ? 0 : std::fread(begun, 1, block, file_);
    if (read == 0) {
      at_end_ = true;
      if (size_ == 0) return {};
      buffer_[size_++] = '\n';
      handed_ = size_;
      return {buffer_.get(), size_};
    }
    const size_t n = drop_carriage_returns(begun, read);
    const char* first_end = static_cast<const char*>(std::memchr(begun, '\n', n));
    const size_t begun_at = size_;
    size_ += n;
    if ((first_end ? static_cast<size_t>(first_end - buffer_.get()) : size_) > max_line_) {
      too_long_ = true;
      return {};
    }
    if (first_end) {
      handed_ = line_start({buffer_.get(), size_}, begun_at, size_);
      return {buffer_.get(), handed_};
    }
  }
}

// Makes every line end of `n` bytes read one '\n'; the bytes left.
size_t LineBlocks::drop_carriage_returns(char* p, size_t n) {
  size_t from = 0, to = 0;
  if (after_cr_ && n > 0) {
    after_cr_ = false;
    if (p[0] == '\n') from = 1;
  }
  for (;;) {
    const void* cr = std::memchr(p + from, '\r', n - from);
    const size_t stop = cr ? static_cast<size_t>(static_cast<const char*>(cr) - p) : n;
    if (to != from) std::memmove(p + to, p + from, stop - from);
    to += stop - from;
    from = stop;
    if (!cr) return to;
    p[to++] = '\n';
    if (++from == n)
      after_cr_ = true;
    else if (p[from] == '\n')
      ++from;
  }
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
  TextFinder text;
  std::optional<Program> program;
};

LineMatcher::LineMatcher(LineMatcher&&) noexcept = default;
LineMatcher& LineMatcher::operator=(LineMatcher&&) noexcept = default;
LineMatcher::~LineMatcher() = default;

std::optional<LineMatcher> LineMatcher::create(const SearchOptions& options, std::string& error) {
  LineMatcher m;
  m.options_ = options;
  m.compiled_ = std::make_unique<Compiled>();
  if (!options.regex) {
    // A line never holds a line end, so neither does a hit.
    m.never_ = options.text.find_first_of("\r\n") != std::string::npos;
    m.compiled_->text = TextFinder(options.text, options.ignore_case);
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
  m.compiled_->program = std::move(program);
  // Two characters are rare enough in a line to be worth looking for first.
  bool any_case = false;
  const std::string required = required_text(*tree, any_case);
  m.prefilter_ = required.size() >= 2;
  if (m.prefilter_) m.compiled_->text = TextFinder(required, any_case);
  return m;
}

bool LineMatcher::matches(std::string_view line) const {
  std::string block(line);
  block += '\n';
  return find_line(block, 0) == 0;
}

size_t LineMatcher::find_line(std::string_view text, size_t from) const {
  constexpr size_t none = std::string_view::npos;
  const std::optional<Program>& program = compiled_->program;
  if (never_) return none;
  if (program && !prefilter_) return program->find(text, from);
  const TextFinder& finder = compiled_->text;
  // The line of the last hit: [line, end).
  size_t line = from, end = none;
  for (size_t at = from; (at = finder.find(text, at)) != none && at < text.size();) {
    if (end == none || at > end) {
      // Back only over what the finder passed, so that a long line with many
      // hits is not walked again for each.
      line = line_start(text, end == none ? from : end + 1, at);
      end = text.find('\n', at);
    }
    if (program) {
      if (program->search(text.substr(line, end - line))) return line;
      at = end + 1;
      continue;
    }
    // The '\n's around a line are no word characters.
    const size_t after = at + finder.size();
    if (!options_.whole_words ||
        ((at == 0 || !is_word_char(text[at - 1])) && (after == text.size() || !is_word_char(text[after]))))
      return line;
    ++at;
  }
  return none;
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
  std::string out;
  long hits = 0;
  size_t number = 0;  // the lines before the block's position `counted`
  bool written = true;
  LineBlocks blocks(file, kMaxTextLine);
  for (std::string_view block; !(block = blocks.next()).empty();) {
    size_t counted = 0;
    for (size_t at = 0; (at = matcher->find_line(block, at)) != std::string_view::npos;) {
      number += count_line_ends(block.substr(counted, at - counted)) + 1;
      const size_t end = block.find('\n', at);
      ++hits;
      out += prefix;
      out += std::to_string(number);
      out += ") ";
      out += block.substr(at, end - at);
      out += '\n';
      if (out.size() >= 64 * 1024) {
        written = written && write_stream(stdout, out);
        out.clear();
      }
      counted = at = end + 1;
    }
    number += count_line_ends(block.substr(counted));
  }
  const int read_errno = std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
  std::fclose(file);
  written = written && write_stream(stdout, out);
  if (!written) return fail("can't write the results: " + std::string(std::strerror(errno)));
  if (blocks.too_long())
    return fail("line " + std::to_string(number + 1) + " of \"" + options->path + "\" is longer than " +
                std::to_string(kMaxTextLine) + " characters, the file is not searched further");
  if (read_errno != 0) return fail("can't read \"" + options->path + "\": " + std::strerror(read_errno));
  return hits > max_hit_code ? max_hit_code : static_cast<int>(hits);
}

}  // namespace zun::grep
