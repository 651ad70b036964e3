// SPDX-License-Identifier: MIT
// The preprocessor step of a C build: the workbench's cpp command line is
// turned into a run of the host's GNU cpp, whose output and messages are
// brought into the forms the compiler and the workbench read.
#pragma once

#include <sys/resource.h>

#include <string>
#include <vector>

namespace zun::cpp {

struct Invocation {
    std::vector<std::string> args;  // for GNU cpp, without the program name
    std::string source;             // '/' separators
    std::string output;
    std::vector<std::string> include_dirs;  // of the -I options, in order
    bool ok = false;                // false: the command line cannot be run, see `error`
    std::string error;              // what is wrong with it; empty: no source and output named
};

// Translates the workbench's arguments (options, source, output file).
Invocation translate_args(const std::vector<std::string>& args);

// Follows the #include lines of the source and of the headers it includes,
// as far as names are written out, and looks for each file as GNU cpp does.
// The message for the first that is there but is no regular file (a device
// or a FIFO, which would never end); "" when there is none.
std::string find_endless_include(const Invocation& inv, const std::string& working_dir);

// The files a run read, from the make rule that GNU cpp writes for "-MD
// -MF file -MT target" (target, ':', the source and every file it
// included), with the rule's escapes undone.
std::vector<std::string> parse_dependencies(const std::string& rule);

// Removes the line markers that name "<built-in>", "<command-line>" and the
// like; every other line stays as it is.
std::string filter_markers(const std::string& text);

// Rewrites GNU cpp's messages into "\"<path>\" (<line>) Error: <text>" lines;
// paths are made absolute against working_dir. Errors that name no file
// are given to the source at line 0.
std::string rewrite_messages(const std::string& text, const std::string& working_dir, const std::string& source);

struct RunResult {
    int exit_code = 1;
    std::string out;
    std::string err;
};

// What GNU cpp may take: an include that never ends (a device, a FIFO) is
// stopped by these instead of running the machine out of memory.
inline constexpr rlim_t memory_limit_bytes = rlim_t{512} << 20;  // address space
inline constexpr int time_limit_seconds = 120;                    // processor and wall-clock time

// Runs the GNU cpp at `program` (an absolute path) with a cleared
// environment holding only LC_ALL=C and /dev/null as its standard input, in
// a process group of its own that ends with the wrapper.
RunResult run_program(const std::string& program, const std::vector<std::string>& args);

}  // namespace zun::cpp
