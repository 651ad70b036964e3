// Number parsing and display forms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zun {

// Reads an optionally negative number in radix 16 (optional "0x"), 10 or, for
// any other radix, 2. Radix 16 and 10 stop at a character at most 32 (signed)
// or ':'; radix 2 reads to the NUL or a byte of 128 or more. Arithmetic wraps in
// 32 bits; no digits at all read as 0. Returns 0 and stores the value, or -1 on
// the first bad character (or a null text) and leaves `result` untouched.
int parse_number(const char* text, uint32_t& result, int radix);

// The value of one hexadecimal digit (either case), -1 for any other character.
int hex_digit(char c);

// `bits` characters '0'/'1', bit (bits-1) first; bits is clamped to 1..32.
std::string to_binary_string(uint32_t value, int bits);

// Display form of a path at most `max` characters long: the path itself when it
// fits, else its first 4 characters, ".\....\." and its last (max - 12)
// characters; then '\' becomes '/' and letters are folded to lower case.
// `max` is expected above 12; a smaller one gives the path's last max characters.
std::string path_shorten(std::string_view path, size_t max);

}  // namespace zun
