// The output window's text store, the reading of the tools' message lines for
// the jump to a source line, and the splitting of a tool command line into a
// program and its arguments.
#include "workbench/core/workbench_core.h"

#include "common/cmdline.h"
#include "common/path.h"
#include "common/text.h"

namespace zun::wb {

void OutputText::complete() {
  lines_.push_back(std::move(pending_));
  pending_.clear();
}

// A line breaks only when another character is to be stored on it, so a line
// exactly as wide as the window followed by its newline stays one line. With
// no visible columns (a window not yet sized) only the 255 cut applies.
void OutputText::write(std::string_view text) {
  size_t width = max_line;
  if (columns_ > 0 && static_cast<size_t>(columns_) < width) width = static_cast<size_t>(columns_);
  for (char c : text) {
    if (c == '\n') {
      complete();
      continue;
    }
    if (c == '\t') c = ' ';
    if (static_cast<unsigned char>(c) < 32) continue;
    if (pending_.size() >= width) complete();
    pending_ += c;
  }
}

void OutputText::clear() {
  lines_.clear();
  pending_.clear();
}

std::optional<MessageLocation> parse_message_line(std::string_view line) {
  std::string text(line.substr(0, line.find('\0')));
  MessageLocation loc;
  const char* rest = find_quoted(loc.file, text.c_str());
  if (!rest || loc.file.empty()) return std::nullopt;
  std::string_view tail(rest);
  size_t open = tail.find('('), close = tail.find(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::nullopt;
  size_t i = open + 1;
  while (i < close && (tail[i] == ' ' || tail[i] == '\t')) ++i;
  for (; i < close && tail[i] >= '0' && tail[i] <= '9' && loc.line < 100000000; ++i)
    loc.line = loc.line * 10 + (tail[i] - '0');
  return loc;
}

std::optional<ToolCommand> split_tool_command(std::string_view command_line) {
  std::vector<std::string> argv = split_win_cmdline(command_line);
  if (argv.empty() || argv[0].empty()) return std::nullopt;
  ToolCommand tc;
  std::string dir = path_dir_name(argv[0]);
  path_to_slashes(dir);
  if (!dir.empty() && dir.back() != '/') dir += '/';
  tc.program = dir + program_name(argv[0]);
  tc.args.assign(argv.begin() + 1, argv.end());
  return tc;
}

std::string tool_command_line(std::string_view bin_dir, std::string_view program, std::string_view args) {
  std::string line = "\"";
  line += bin_dir;
  line += "/";
  line += program;
  line += "\" ";
  line += args;
  return line;
}

}  // namespace zun::wb
