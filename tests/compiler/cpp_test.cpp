// The cpp wrapper: argument translation, marker filtering, message rewriting,
// and one end-to-end run of the staged program over the host's GNU cpp.
#include "compiler/cpp/cpp_wrapper.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace zun::cpp {
namespace {

namespace fs = std::filesystem;

TEST(TcxCpp, TranslatesTheWorkbenchCommandLine) {
    Invocation inv = translate_args({"-I", "inc\\sub", "-D__ZUN", "-D__STDC__", "-N", "-V", "-lfoo", "-+",
                                     "-DX=1", "-Ix\\y", "dir\\src.c", "out\\a.i"});
    ASSERT_TRUE(inv.ok);
    EXPECT_EQ(inv.args, (std::vector<std::string>{"-undef", "-nostdinc", "-std=gnu89", "-fno-diagnostics-show-caret",
                                                  "-fdiagnostics-color=never", "-I", "inc/sub", "-D__ZUN", "-DX=1",
                                                  "-Ix/y", "dir/src.c"}));
    EXPECT_EQ(inv.source, "dir/src.c");
    EXPECT_EQ(inv.output, "out/a.i");
    EXPECT_FALSE(translate_args({"-DX", "only.c"}).ok);
}

TEST(TcxCpp, DropsOnlyMarkersOfPseudoFiles) {
    std::string in =
        "# 0 \"src.c\"\n# 0 \"<built-in>\"\n# 0 \"<command-line>\"\n# 1 \"src.c\"\n"
        "# 1 \"inc/h.h\" 1\nint a; /* \"<x>\" */\n#pragma BSS b\n";
    EXPECT_EQ(filter_markers(in),
              "# 0 \"src.c\"\n# 1 \"src.c\"\n# 1 \"inc/h.h\" 1\nint a; /* \"<x>\" */\n#pragma BSS b\n");
}

TEST(TcxCpp, RewritesMessagesForTheWorkbench) {
    std::string err =
        "In file included from e.c:1:\n"
        "inc/bad.h:2:2: error: #error boom\n"
        "f.c:1:10: fatal error: nothere.h: No such file or directory\n"
        "compilation terminated.\n"
        "w.c:3: warning: \"X\" redefined\n"
        "w.c:2: note: this is the location of the previous definition\n"
        "cc1: fatal error: gone.c: No such file or directory\n";
    EXPECT_EQ(rewrite_messages(err, "/p/q", "src/a.c"),
              "\"/p/q/inc/bad.h\" (2) Error: #error boom\n"
              "\"/p/q/f.c\" (1) Error: nothere.h: No such file or directory\n"
              "\"/p/q/w.c\" (3) Warning: \"X\" redefined\n"
              "\"/p/q/src/a.c\" (0) Error: gone.c: No such file or directory\n");
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(TcxCpp, RunsTheHostPreprocessor) {
    fs::path cpp = fs::path(ZUN_STAGE_BIN) / "cpp";
    if (!fs::exists(cpp)) GTEST_SKIP() << "cpp is not built";
    fs::path work = fs::temp_directory_path() / ("tcx_cpp_" + std::to_string(::getpid()));
    fs::create_directories(work / "inc");
    std::ofstream(work / "inc" / "h.h") << "#define A 2\n";
    std::ofstream(work / "inc" / "bad.h") << "#error broken header\n";
    std::ofstream(work / "src.c") << "#include \"h.h\"\nint x = A; int g = __GNUC__; int h = __x86_64__;\n";
    std::ofstream(work / "e.c") << "\n#include \"bad.h\"\n";
    std::string prefix = "cd '" + work.string() + "' && '" + cpp.string() + "' ";
    int rc = std::system((prefix + "\"-I\" \"inc\" \"-D__STDC__\" \"-D__ZUN09\" src.c out.i 2>err.txt").c_str());
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(slurp(work / "err.txt"), "");
    std::string out = slurp(work / "out.i");
    EXPECT_EQ(out.rfind("# ", 0), 0u);
    EXPECT_EQ(out.substr(out.find('"'), 7), "\"src.c\"");
    EXPECT_EQ(out.find("\"<"), std::string::npos);
    EXPECT_NE(out.find("int x = 2; int g = __GNUC__; int h = __x86_64__;"), std::string::npos);

    rc = std::system((prefix + "-I inc e.c out2.i 2>err2.txt").c_str());
    EXPECT_NE(rc, 0);
    EXPECT_EQ(slurp(work / "err2.txt"),
              "\"" + fs::canonical(work).string() + "/inc/bad.h\" (1) Error: #error broken header\n");
    fs::remove_all(work);
}

}  // namespace
}  // namespace zun::cpp
