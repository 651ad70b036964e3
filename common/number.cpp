// Number parsing and display forms: parse_number, to_binary_string, path_shorten.
#include "common/number.h"

namespace zun {

namespace {

int signed_value(char c) { return static_cast<signed char>(c); }

// Hexadecimal and decimal numbers end at a blank or at ':' (as in "12:34").
bool ends_number(char c) { return signed_value(c) <= 32 || c == ':'; }

}  // namespace

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int parse_number(const char* text, uint32_t& result, int radix) {
  if (!text) return -1;
  const char* p = text;
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  }
  uint32_t value = 0;
  if (radix == 16) {
    if (*p == '0') {
      ++p;
      if (*p == 'x' || *p == 'X') ++p;
    }
    for (; !ends_number(*p); ++p) {
      int d = hex_digit(*p);
      if (d < 0) return -1;
      value = value * 16u + static_cast<uint32_t>(d);
    }
  } else if (radix == 10) {
    for (; !ends_number(*p); ++p) {
      if (*p < '0' || *p > '9') return -1;
      value = value * 10u + static_cast<uint32_t>(*p - '0');
    }
  } else {
    // Binary runs to the end of the text: a blank inside is a bad digit.
    for (; *p && signed_value(*p) >= 0; ++p) {
      if (*p != '0' && *p != '1') return -1;
      value = value * 2u + static_cast<uint32_t>(*p - '0');
    }
  }
  result = negative ? 0u - value : value;
  return 0;
}

std::string to_binary_string(uint32_t value, int bits) {
  if (bits < 1) bits = 1;
  if (bits > 32) bits = 32;
  std::string out;
  out.reserve(static_cast<size_t>(bits));
  for (int bit = bits - 1; bit >= 0; --bit) out.push_back((value >> bit) & 1u ? '1' : '0');
  return out;
}

std::string path_shorten(std::string_view path, size_t max) {
  std::string out;
  if (path.size() <= max) {
    out.assign(path);
  } else if (max <= 12) {
    out.assign(path.substr(path.size() - max));
  } else {
    out.assign(path.substr(0, 4));
    out += ".\\....\\.";
    out += path.substr(path.size() - (max - 12));
  }
  for (char& c : out) {
    if (c == '\\') c = '/';
    else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace zun
