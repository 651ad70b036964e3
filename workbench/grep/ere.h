// POSIX extended regular expressions, in the dialect the GNU C library reads
// in the C locale, rewritten into the syntax of RE2, whose matching time
// grows only linearly with the line and whose memory is bounded. Every byte
// is one character; case is ignored for ASCII letters only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zun::grep {

struct EreFlags {
  bool ignore_case = false;
  // The match is preceded by the line's start or a character that is no
  // letter, digit or '_', and followed by one or the line's end.
  bool whole_words = false;
};

// The expression in RE2's syntax, for RE2 with Latin-1 encoding. Nullopt
// with the reason in `error`: the C library's own text for the faults it
// reports too ("Unmatched ( or \\(", "Invalid range end", ...), and a text of
// its own for what has no linear-time match (back-references).
std::optional<std::string> ere_to_re2(std::string_view pattern, const EreFlags& flags, std::string& error);

}  // namespace zun::grep
