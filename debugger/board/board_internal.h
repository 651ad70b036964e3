// Shared between the board's source files: address constants and a small
// printf-style formatter for the texts the board builds.
#pragma once
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zun::board_detail {

constexpr uint32_t ram_end = 0xE000;      // RAM is 0x0000 .. ram_end - 1
constexpr uint32_t attached_end = 0xE020; // attached window 0xE000 .. 0xE01F
constexpr uint32_t rom_base = 0xE100;     // ROM is rom_base .. 0xFFFF
constexpr uint32_t onboard_window_first = 0xE020, onboard_window_last = 0xE0FF;

// ---- descriptor.cpp ----
__attribute__((format(printf, 1, 2))) inline std::string strprintf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list copy;
  va_copy(copy, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string s(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(s.data(), s.size() + 1, fmt, ap);
  va_end(ap);
  return s;
}

}  // namespace zun::board_detail
