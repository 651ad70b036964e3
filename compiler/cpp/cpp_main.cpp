// SPDX-License-Identifier: MIT
// cpp: preprocesses a C source for tcx09 with the host's GNU cpp.
//   cpp { option } source output
#include "compiler/cpp/cpp_wrapper.h"

#include "common/path.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    zun::cpp::Invocation inv = zun::cpp::translate_args(args);
    if (!inv.ok) {
        std::fputs("usage: cpp { option } source output\n", stderr);
        return 1;
    }
    zun::cpp::RunResult r = zun::cpp::run_program(TCX_GNU_CPP, inv.args);
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    std::string messages = zun::cpp::rewrite_messages(r.err, cwd, inv.source);
    std::fwrite(messages.data(), 1, messages.size(), stderr);
    if (r.exit_code != 0) return r.exit_code;
    std::ofstream out(zun::path_native(inv.output), std::ios::binary | std::ios::trunc);
    out << zun::cpp::filter_markers(r.out);
    if (!out) {
        std::fprintf(stderr, "\"%s\" (0) Error: cannot write the output file\n", inv.output.c_str());
        return 1;
    }
    return 0;
}
