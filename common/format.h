// printf-style formatting into a std::string (g++ 12 has no std::format).
// No length limit: the text is measured first, then written in one go.
#pragma once

#include <cstdarg>
#include <string>

namespace zun {

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace zun
