// SPDX-License-Identifier: MIT
// cpp: preprocesses a C source for tcx09 with the host's GNU cpp.
//   cpp { option } source output
#include "compiler/cpp/cpp_wrapper.h"

#include "common/line_reader.h"
#include "common/output_file.h"
#include "common/path.h"
#include "common/termination.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// An empty temporary for the dependency rule, beside the output or, for an
// output such as /dev/null whose folder takes no new file, in the system's
// temporary folder. False with errno.
bool create_rule_file(const std::string& output, std::string& name) {
    std::string dir = zun::path_dir_name(output);
    int fd = zun::create_temporary_removed_on_termination(dir.empty() ? "." : dir, "cp", name);
    std::error_code ec;
    if (fd < 0) fd = zun::create_temporary_removed_on_termination(std::filesystem::temp_directory_path(ec).string(), "cp", name);
    if (fd < 0) return false;
    close(fd);
    return true;
}

int fail(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    zun::ignore_file_size_signal();
    zun::clean_up_on_termination();
    std::vector<std::string> args(argv + 1, argv + argc);
    zun::cpp::Invocation inv = zun::cpp::translate_args(args);
    if (!inv.ok) {
        if (!inv.error.empty()) return fail("cpp: " + inv.error);
        return fail("usage: cpp { option } source output");
    }
    std::string reason;
    std::FILE* source = zun::open_input_file(inv.source, reason);
    if (!source) return fail("\"" + inv.source + "\" (0) Error: Can't open '" + inv.source + "': " + reason);
    std::fclose(source);
    // Writing over the source would lose it: refused before anything runs.
    if (zun::same_file(inv.source, inv.output))
        return fail("\"" + inv.source + "\" (0) Error: Can't write '" + inv.output + "': " + zun::kOutputIsInput);
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    std::string endless = zun::cpp::find_endless_include(inv, cwd);
    if (!endless.empty()) {
        std::fputs(endless.c_str(), stderr);
        return 1;
    }
    zun::OutputFile out;
    if (!out.open(inv.output, "cp"))
        return fail("\"" + inv.output + "\" (0) Error: Can't write the output file: " + out.error());
    // GNU cpp names every file it reads in a dependency rule; the output is
    // put in place only when it is none of them.
    std::string rule_file;
    if (!create_rule_file(inv.output, rule_file))
        return fail("\"" + inv.output + "\" (0) Error: Can't write the output file: " + std::strerror(errno));
    inv.args.insert(inv.args.end() - 1, {"-MD", "-MF", rule_file, "-MT", "run"});
    zun::cpp::RunResult r = zun::cpp::run_program(TCX_GNU_CPP, inv.args);
    std::string rule = read_text(rule_file);
    std::remove(rule_file.c_str());
    zun::keep_after_termination(rule_file);
    std::string messages = zun::cpp::rewrite_messages(r.err, cwd, inv.source);
    std::fwrite(messages.data(), 1, messages.size(), stderr);
    if (r.exit_code != 0) {
        if (messages.empty())
            fail("\"" + inv.source + "\" (0) Error: the preprocessor failed with exit code " + std::to_string(r.exit_code));
        return r.exit_code;
    }
    for (const std::string& input : zun::cpp::parse_dependencies(rule))
        if (zun::same_file(input, inv.output))
            return fail("\"" + inv.source + "\" (0) Error: Can't write '" + inv.output + "': " + zun::kOutputIsInput);
    if (!out.write(zun::cpp::filter_markers(r.out)) || !out.commit())
        return fail("\"" + inv.output + "\" (0) Error: Can't write the output file: " + out.error());
    return 0;
}
