// The staged tool chain for test programs generated on the host: each
// program is compiled beside programs/support.c, assembled, linked with the
// startup code and the runtime library and run under run09, whose console
// output the test reads back.
#pragma once

#include "tests/tools/tool_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace zun::tcx::test {

using zun::test::read_whole;

inline int env_int(const char* name, int otherwise) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : otherwise;
}

struct Tools {
    std::filesystem::path bin, stage, dir;
    std::string error;

    // A fresh work directory with the startup code assembled in it.
    bool start(const char* prefix) {
        const char* stage_env = std::getenv("ZUN_STAGE");
        stage = stage_env ? stage_env : "build/stage";
        bin = stage / "bin";
        std::string dir_template = (std::filesystem::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
        if (!mkdtemp(dir_template.data())) {
            error = "no temporary directory";
            return false;
        }
        dir = dir_template;
        return run("'" + bin.string() + "/hasm09' -o startup.o09 '" + (stage / "src/startup/zun09/_startup.s09").string() +
                   "'");
    }

    void finish(bool keep) {
        if (keep) {
            std::cout << "programs kept in " << dir.string() << "\n";
            return;
        }
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    bool run(const std::string& command) {
        std::string full = "cd '" + dir.string() + "' && " + command + " >log 2>&1";
        if (std::system(full.c_str()) == 0) return true;
        error = command + ":\n" + read_whole(dir / "log").substr(0, 3000);
        return false;
    }

    // Compiles prog.c with opts beside support.c, links and runs it; returns what it printed.
    bool build_and_run(const std::string& opts, std::string& out) {
        std::string b = "'" + bin.string() + "/";
        for (const char* f : {"support", "prog"}) {
            std::string src = std::string(f) == "support" ? std::string(TCX_PROGRAMS_DIR) + "/support.c" : "prog.c";
            if (!run(b + "tcx09' " + opts + " '" + src + "' " + f + ".s09")) return false;
            std::string s = read_whole(dir / (std::string(f) + ".s09"));
            for (const char* bad : {"OP_ERROR", "Internal Error", "INVALID", "CGERR", "not handled"})
                if (s.find(bad) != std::string::npos) {
                    error = std::string("code generator trace '") + bad + "' in " + f + ".s09 " + opts;
                    return false;
                }
            if (!run(b + "hasm09' -e -o " + f + ".o09 " + f + ".s09")) return false;
        }
        if (!run(b + "vlk' -o prog.s19 -i '" + (stage / "config/zun09/default.lsc").string() + "' -L '" +
                 (stage / "lib/zun09").string() + "' -l libcc.e09 startup.o09 support.o09 prog.o09"))
            return false;
        std::string cmd = "cd '" + dir.string() + "' && " + b + "run09' --max 50000000 prog.s19 >out.txt 2>err.txt </dev/null";
        std::system(cmd.c_str());
        out = read_whole(dir / "out.txt");
        return true;
    }
};

// The head of a program whose checks report "FAIL id i r" lines: fail(id,
// i, r) for check id at its i-th value with the result r.
inline const char* const checks_head =
    "/* generated */\nvoid init_io(void);\nvoid put_str(char *s);\nvoid put_hex(unsigned v);\n"
    "static int failed;\nstatic void fail(int id, int i, unsigned r)\n{\n    put_str(\"FAIL \");\n"
    "    put_hex(id);\n    put_str(\" \");\n    put_hex(i);\n    put_str(\" \");\n    put_hex(r);\n"
    "    put_str(\"\\n\");\n    ++failed;\n}\n";

// Builds and runs each program under every option set; describe(id, i, r)
// tells a failing check. Returns the failures.
inline int run_checks(const std::vector<std::string>& programs, const char* prefix,
                      const std::function<std::string(unsigned, unsigned, unsigned)>& describe) {
    Tools tools;
    if (!tools.start(prefix)) {
        ADD_FAILURE() << tools.error;
        return 1;
    }
    int failures = 0;
    for (size_t p = 0; p < programs.size(); ++p) {
        std::ofstream(tools.dir / "prog.c") << programs[p];
        for (const char* opts : {"", "-O", "-g", "-g -O"}) {
            std::string out;
            if (!tools.build_and_run(opts, out)) {
                ADD_FAILURE() << tools.error;
                tools.finish(true);
                return failures + 1;
            }
            if (out == "ok\n") continue;
            std::istringstream lines(out);
            std::string line;
            int reported = 0;
            while (std::getline(lines, line)) {
                unsigned id = 0, i = 0, r = 0;
                if (std::sscanf(line.c_str(), "FAIL %x %x %x", &id, &i, &r) != 3) continue;
                ++reported;
                if (++failures <= 20) ADD_FAILURE() << (*opts ? opts : "no options") << ": " << describe(id, i, r);
            }
            if (reported == 0) {
                ADD_FAILURE() << "program " << p << " " << opts << ": " << out.substr(0, 500);
                ++failures;
            }
        }
    }
    tools.finish(failures > 0);
    return failures;
}

}  // namespace zun::tcx::test
