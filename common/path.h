// Path helpers. Both '\' and '/' are separators on input everywhere; every path
// these helpers build uses '/', and so do the files the tools write. A path goes
// to an operating-system call only through path_native().
// Canonicalisation and relative paths are purely lexical: the disk is never
// consulted, so symbolic links are not resolved.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zun {

inline bool is_path_sep(char c) { return c == '/' || c == '\\'; }

// Index of the last '\' or '/'; std::string_view::npos when there is none.
size_t path_last_sep(std::string_view path);
// The text behind the last separator; the whole path when there is none.
std::string path_file_name(std::string_view path);
// The file name up to (not including) its first '.'.
std::string path_base_name(std::string_view path);
// The path up to (not including) its last separator; "" without a separator;
// a path whose only separator is its first character gives that separator.
std::string path_dir_name(std::string_view path);

void path_to_slashes(std::string& path);
void path_to_backslashes(std::string& path);

// '\' becomes '/', then pairs of separators collapse left to right without
// overlap ("a//b" -> "a/b", "a///b" -> "a//b"). No other change.
std::string path_collapse_seps(std::string_view path);

// Lexical canonical form: '/' separators, "." and ".." resolved, doubled
// separators collapsed, trailing separators dropped. A root ('/', "C:/") is
// kept and ".." never climbs above it; a relative path stays relative and keeps
// the leading ".." steps it cannot resolve; a relative path that resolves to
// nothing gives "."; an empty path stays empty.
std::string path_canonicalize(std::string_view path);
void path_canonicalize_inplace(std::string& path);

// Directory and name joined with '/' and canonicalised; an absolute name
// (leading separator or drive) gives the name alone, canonicalised.
std::string path_join(std::string_view dir, std::string_view name);

// True when both paths are absolute and lie on one root: the same drive letter
// (ignoring case), both beginning with a single separator, or the same
// "//server/share".
bool path_same_root(std::string_view a, std::string_view b);

// True unless the path begins with a separator or a drive ("C:").
bool path_is_relative(std::string_view path);

// `path` written relative to the directory `base_dir`: "." for the directory
// itself, "./rest" inside it, "../" steps otherwise (components compare
// case-sensitively). The path comes back unchanged when the base is empty, the
// path is relative, or the two lie on different roots.
std::string path_make_relative(std::string_view base_dir, std::string_view path);
// True for a relative path, as path_make_relative and path_canonicalize write
// them, that leaves the directory it starts from: ".." or "../rest".
bool path_climbs_out(std::string_view relative);

// Compares the file names of a and b without directory and without their last
// extension, ignoring ASCII case: negative, 0 or positive.
int path_compare_base_names(std::string_view a, std::string_view b);

// The form for an operating-system call on this platform ('\' -> '/').
std::string path_native(std::string_view path);

}  // namespace zun
