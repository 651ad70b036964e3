// The golden form of assembler styles: per source line one character per
// byte, line ends included ('0'-'9', then 'a' for 10 up to 'd' for 13).
// Shared by the colouriser's own test and the one through the editor.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace zun::wb::test {

inline std::string golden_styles(const std::string& source, const std::vector<uint8_t>& styles) {
  std::string out;
  for (size_t i = 0; i < source.size() && i < styles.size(); ++i) {
    out += static_cast<char>(styles[i] < 10 ? '0' + styles[i] : 'a' + styles[i] - 10);
    if (source[i] == '\n') out += '\n';
  }
  return out;
}

// The lines that differ, with their source text above them.
inline std::string golden_diff(const std::string& source, const std::string& expected,
                               const std::vector<uint8_t>& styles) {
  std::istringstream src(source), exp(expected), got(golden_styles(source, styles));
  std::string s, e, g, out;
  for (int line = 1; std::getline(src, s); ++line) {
    std::getline(exp, e);
    std::getline(got, g);
    if (e == g) continue;
    for (char& c : s)
      if (c == '\t' || static_cast<unsigned char>(c) >= 128) c = ' ';
    out += "\nline " + std::to_string(line) + ":\n  src " + s + "\n  exp " + e + "\n  got " + g;
  }
  return out;
}

}  // namespace zun::wb::test
