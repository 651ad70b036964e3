// printf-style formatting into a std::string.
#include "common/format.h"

#include <charconv>
#include <cstdio>

namespace zun {

std::string vformat(const char* fmt, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  return out;
}

std::string format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string out = vformat(fmt, args);
  va_end(args);
  return out;
}

void append_hex(std::string& out, uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  int needed = 1;
  while (needed < 8 && (value >> (4 * needed)) != 0) ++needed;
  if (digits < needed) digits = needed;
  size_t at = out.size();
  out.resize(at + static_cast<size_t>(digits));
  for (int i = digits - 1; i >= 0; --i, value >>= 4)
    out[at + static_cast<size_t>(i)] = kDigits[value & 15];
}

void append_decimal(std::string& out, long value) {
  char text[24];
  auto end = std::to_chars(text, text + sizeof text, value).ptr;
  out.append(text, end);
}

}  // namespace zun
