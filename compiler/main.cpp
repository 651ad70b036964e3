// SPDX-License-Identifier: MIT
// tcx09: compiles one preprocessed C file into 6809 assembler text.
#include "compiler/compiler.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    zun::tcx::Options options = zun::tcx::parse_options(args);
    zun::tcx::Result r = zun::tcx::run(options);
    std::fwrite(r.stdout_text.data(), 1, r.stdout_text.size(), stdout);
    std::fwrite(r.stderr_text.data(), 1, r.stderr_text.size(), stderr);
    return r.exit_code;
}
