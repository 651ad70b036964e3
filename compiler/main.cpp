// SPDX-License-Identifier: MIT
// tcx09: compiles one preprocessed C file into 6809 assembler text.
#include "compiler/compiler.h"

#include "common/output_file.h"
#include "common/termination.h"

#include <cstdio>

int main(int argc, char** argv) {
    zun::ignore_file_size_signal();
    zun::clean_up_on_termination();
    std::vector<std::string> args(argv + 1, argv + argc);
    zun::tcx::Options options = zun::tcx::parse_options(args);
    zun::tcx::Result r = zun::tcx::run(options);
    // Without an output file the assembler text is on standard output: a
    // short write there is a failed compilation.
    bool written = zun::write_stream(stdout, r.stdout_text);
    std::fwrite(r.stderr_text.data(), 1, r.stderr_text.size(), stderr);
    if (!written) {
        std::fputs("tcx09: can't write standard output\n", stderr);
        return r.exit_code != 0 ? r.exit_code : 2;
    }
    return r.exit_code;
}
