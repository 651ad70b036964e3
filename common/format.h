// printf-style formatting into a std::string (g++ 12 has no std::format).
// No length limit: the text is measured first, then written in one go.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

namespace zun {

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

// For writers that put out thousands of numbers: the text of "%0*X" (with
// `digits` digits, upper case; more when the value needs them) and of "%ld",
// appended to `out`.
void append_hex(std::string& out, uint32_t value, int digits);
void append_decimal(std::string& out, long value);

// Numbers for append_text: Hex{v, 8} writes "%8.8X", Hex{v} "%X", Dec{v} "%ld".
struct Hex {
  uint32_t value;
  int digits = 1;
};
struct Dec {
  long value;
};

inline void append_part(std::string& out, std::string_view text) { out += text; }
inline void append_part(std::string& out, char c) { out += c; }
inline void append_part(std::string& out, Hex hex) { append_hex(out, hex.value, hex.digits); }
inline void append_part(std::string& out, Dec dec) { append_decimal(out, dec.value); }

// Appends texts, characters and numbers in order: records written by the
// thousand, which a format string for each would slow down.
template <typename... Parts>
void append_text(std::string& out, const Parts&... parts) {
  (append_part(out, parts), ...);
}

}  // namespace zun
