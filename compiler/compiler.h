// SPDX-License-Identifier: MIT
// tcx09, the C cross compiler for the MC6809: the public interface.
// main.cpp, the workbench and the tests fill Options and call run(); every
// compilation gets its own state, so one process may run many of them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zun::tcx {

struct Options {
    int warning_level = 4;       // 0..6
    bool dump = false;           // -dump
    bool dead_code = false;      // -Ordc
    bool peephole = false;       // -Op
    bool sp = false;             // -Osp
    bool code_motion = false;    // -Ocm
    bool reg_alloc = false;      // -Ora
    bool debug = false;          // -g
    std::vector<std::string> files;          // input [output], more is an error
    std::vector<std::string> unknown_options; // each already reported in option_messages
    std::string option_messages;             // "Unknown option ..." lines for standard error

    // Reads a whole file; empty means the file system. Tests serve files from memory.
    std::function<std::optional<std::string>(const std::string& path)> read_file;
    // Working directory used for message file names; empty means the process's own.
    std::string working_dir;
};

// Parses the arguments that follow the program name.
Options parse_options(const std::vector<std::string>& args);

struct Result {
    int exit_code = 0;
    std::string stdout_text;  // assembler text when no output file is named, internal errors
    std::string stderr_text;  // diagnostic lines
};

// Compiles one translation unit. With an output file the assembler text is
// written there; otherwise it is part of stdout_text.
Result run(const Options& options);

}  // namespace zun::tcx
