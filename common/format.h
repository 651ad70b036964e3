// printf-style formatting into a std::string (g++ 12 has no std::format).
// No length limit: the text is measured first, then written in one go.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

namespace zun {

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

// For writers that put out thousands of numbers: the text of "%0*X" (with
// `digits` digits, upper case; more when the value needs them) and of "%ld",
// appended to `out`.
void append_hex(std::string& out, uint32_t value, int digits);
void append_decimal(std::string& out, long value);

}  // namespace zun
