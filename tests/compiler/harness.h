// Runs the compiler in-process over sources held in memory, as if they were
// files in the folder /src.
#pragma once

#include "compiler/compiler.h"
#include "compiler/internal.h"
#include "tests/tools/tool_run.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zun::tcx::test {

using zun::test::read_whole;

// The names (without ".c") of the C files of a test folder, sorted.
inline std::vector<std::string> c_sources_in(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".c") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Compiled {
    int rc = 0;
    std::string out;
    std::string err;
};

inline Compiled compile_files(const std::map<std::string, std::string>& files, std::vector<std::string> args) {
    Options o = parse_options(args);
    o.working_dir = "/src";
    o.read_file = [files](const std::string& p) -> std::optional<std::string> {
        auto it = files.find(p);
        if (it == files.end()) it = files.find("/src/" + p);
        if (it == files.end()) return std::nullopt;
        return it->second;
    };
    Result r = run(o);
    return {r.exit_code, r.stdout_text, r.stderr_text};
}

inline Compiled compile(const std::string& source, std::vector<std::string> options = {}) {
    options.push_back("t.c");
    return compile_files({{"t.c", source}}, options);
}

// Whether `text` holds `part`, and how many times.
inline bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

inline int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The output without the fixed header, so tests compare only what the source made.
inline std::string body(const std::string& out) {
    const std::string last = "\tSEGMENT\trodata\n";
    size_t at = out.find(last);
    return at == std::string::npos ? out : out.substr(at + last.size());
}

// A unit set up far enough to scan and parse expressions.
struct Unit {
    Options options;
    TranslationUnit tu;
    explicit Unit(const std::string& source) : options(make_options(source)), tu(options) {
        tu.input_text = source;
        tu.file_name = "t.c";
        init_builtin_types(tu);
        write_header(tu);
        scan_init(tu);
        scan_token(tu);
    }
    static Options make_options(const std::string& source) {
        Options o;
        o.working_dir = "/src";
        o.files = {"t.c"};
        o.read_file = [source](const std::string& p) -> std::optional<std::string> {
            if (p == "t.c") return source;
            return std::nullopt;
        };
        return o;
    }
};

}  // namespace zun::tcx::test
