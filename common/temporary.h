// The names of the tool chain's temporary files: a prefix of its templates
// ("R" of the assembler, "vl" of the linker, "tc" of the compiler, "cp" of
// the preprocessor wrapper, "C1" to "C3" of the compile chain) and six
// letters or digits, of which the last three are a check of the first three.
// A build that finds such a name left behind by a killed run can tell it
// from a user's file of the same shape.
#pragma once

#include <string>
#include <string_view>

namespace zun {

inline constexpr std::string_view temporary_prefixes[] = {"R", "vl", "tc", "cp", "C1", "C2", "C3"};

// Creates a new, empty file "<dir>/<prefix>XXXXXX" exclusively (mode 0666
// less the umask) and returns its descriptor; -1 with errno.
int create_temporary_file(const std::string& dir, std::string_view prefix, std::string& name);

// True for a file name (no directory) that one of the templates made.
bool is_temporary_name(std::string_view name);

}  // namespace zun
