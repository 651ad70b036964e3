// SPDX-License-Identifier: MIT
// The preprocessor step of a C build: the workbench's cpp command line is
// turned into a run of the host's GNU cpp, whose output and messages are
// brought into the forms the compiler and the workbench read.
#pragma once

#include <string>
#include <vector>

namespace zun::cpp {

struct Invocation {
    std::vector<std::string> args;  // for GNU cpp, without the program name
    std::string source;             // '/' separators
    std::string output;
    bool ok = false;                // false: the command line cannot be run, see `error`
    std::string error;              // what is wrong with it; empty: no source and output named
};

// Translates the workbench's arguments (options, source, output file).
Invocation translate_args(const std::vector<std::string>& args);

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

// Runs the GNU cpp at `program` (an absolute path) with a cleared
// environment holding only LC_ALL=C and /dev/null as its standard input.
RunResult run_program(const std::string& program, const std::vector<std::string>& args);

}  // namespace zun::cpp
