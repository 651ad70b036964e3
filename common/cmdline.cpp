// Splitting a command-line string into arguments by the Windows C-runtime rules.
#include "common/cmdline.h"

#include "common/path.h"

namespace zun {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t'; }

// The program name: quotes toggle and vanish, backslashes stay as they are.
size_t read_program_name(std::string_view s, size_t i, std::string& arg) {
  bool in_quotes = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') in_quotes = !in_quotes;
    else if (!in_quotes && is_space(c)) break;
    else arg.push_back(c);
  }
  return i;
}

size_t read_argument(std::string_view s, size_t i, std::string& arg) {
  bool in_quotes = false;
  while (i < s.size()) {
    size_t backslashes = 0;
    while (i < s.size() && s[i] == '\\') {
      ++backslashes;
      ++i;
    }
    if (i < s.size() && s[i] == '"') {
      arg.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        arg.push_back('"');
      } else if (in_quotes && i + 1 < s.size() && s[i + 1] == '"') {
        arg.push_back('"');  // "" inside quotes: a literal quote, still quoted
        ++i;
      } else {
        in_quotes = !in_quotes;
      }
      ++i;
      continue;
    }
    arg.append(backslashes, '\\');
    if (i >= s.size() || (!in_quotes && is_space(s[i]))) break;
    arg.push_back(s[i++]);
  }
  return i;
}

}  // namespace

std::vector<std::string> split_win_cmdline(std::string_view cmdline, bool first_is_program) {
  std::vector<std::string> args;
  size_t i = 0;
  bool first = first_is_program;
  for (;;) {
    while (i < cmdline.size() && is_space(cmdline[i])) ++i;
    if (i >= cmdline.size()) break;
    std::string arg;
    i = first ? read_program_name(cmdline, i, arg) : read_argument(cmdline, i, arg);
    first = false;
    args.push_back(std::move(arg));
  }
  return args;
}

std::string program_name(std::string_view path) {
  std::string name = path_file_name(path);
  if (name.size() >= 4) {
    std::string_view ext = std::string_view(name).substr(name.size() - 4);
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (ext[0] == '.' && lower(ext[1]) == 'e' && lower(ext[2]) == 'x' && lower(ext[3]) == 'e')
      name.resize(name.size() - 4);
  }
  return name;
}

}  // namespace zun
