// Mutations the fuzz tests of all tools share: the line ends of other systems
// (and of the editor, which keeps CR-only files) and inputs cut short, as a
// full disk or a killed build leaves them.
#pragma once

#include <random>
#include <string>

namespace zun::test {

// All line ends become CR, CR LF or LF CR, or a single one changes or goes.
inline std::string change_line_ends(std::string text, std::mt19937& rng) {
  static const char* const kEnds[] = {"\r", "\r\n", "\n\r"};
  unsigned choice = rng() % 4;
  if (choice == 3) {
    if (text.empty()) return text;
    size_t at = text.find('\n', rng() % text.size());
    if (at != std::string::npos) text.replace(at, 1, rng() % 2 ? "\r" : "");
    return text;
  }
  std::string out;
  for (char c : text) {
    if (c == '\n') out += kEnds[choice];
    else out += c;
  }
  return out;
}

// The text cut at a random place, inside a line or at its end.
inline std::string cut_short(std::string text, std::mt19937& rng) {
  if (!text.empty()) text.resize(rng() % text.size());
  return text;
}

}  // namespace zun::test
