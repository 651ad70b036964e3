// The cpp wrapper: argument translation, marker filtering, message rewriting,
// and one end-to-end run of the staged program over the host's GNU cpp.
#include "compiler/cpp/cpp_wrapper.h"
#include "tests/tools/tool_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace zun::cpp {
namespace {

namespace fs = std::filesystem;
using zun::test::read_whole;

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

TEST(TcxCpp, RefusesOptionsThatChangeWhatGnuCppWrites) {
    for (const char* option : {"--help", "--version", "-M", "-MD", "-MMD", "-dM", "-dD", "-dumpversion", "-fdirectives-only",
                               "-fpreprocessed", "-fdebug-cpp", "-save-temps", "-print-search-dirs", "-###", "-Wp,-MD,x.d",
                               "-Xpreprocessor", "-wrapper", "-B/tmp", "-specs=x", "-fplugin=x.so"}) {
        Invocation inv = translate_args({option, "h.c", "o.i"});
        EXPECT_FALSE(inv.ok) << option;
        EXPECT_EQ(inv.error.rfind(std::string("option '") + option + "' is not taken: ", 0), 0u) << inv.error;
    }
    // What the workbench and the README pass stays.
    for (const char* option : {"-C", "-v", "-H", "-P", "-fdollars-in-identifiers", "-w", "-Wall", "-DX", "-UY"})
        EXPECT_TRUE(translate_args({option, "h.c", "o.i"}).ok) << option;
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
    // What -v tells besides the messages is no error; the tool's own word
    // without "error: " still is one.
    std::string verbose =
        "Using built-in specs.\n"
        "COLLECT_GCC=cpp-12\n"
        "OFFLOAD_TARGET_NAMES=nvptx-none:amdgcn-amdhsa\n"
        "Target: x86_64-linux-gnu\n"
        "Thread model: posix\n"
        "#include \"...\" search starts here:\n"
        "COMPILER_PATH=/usr/lib/gcc/x86_64-linux-gnu/12/:/usr/lib/gcc/\n"
        "LIBRARY_PATH=/usr/lib/gcc/x86_64-linux-gnu/12/:/lib/\n"
        "cc1: out of memory allocating 536870928 bytes after a total of 561152 bytes\n";
    EXPECT_EQ(rewrite_messages(verbose, "/p/q", "src/a.c"),
              "\"/p/q/src/a.c\" (0) Error: cc1: out of memory allocating 536870928 bytes after a total of 561152 bytes\n");
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
    EXPECT_EQ(read_whole(work / "err.txt"), "");
    std::string out = read_whole(work / "out.i");
    EXPECT_EQ(out.rfind("# ", 0), 0u);
    EXPECT_EQ(out.substr(out.find('"'), 7), "\"src.c\"");
    EXPECT_EQ(out.find("\"<"), std::string::npos);
    EXPECT_NE(out.find("int x = 2; int g = __GNUC__; int h = __x86_64__;"), std::string::npos);

    rc = std::system((prefix + "-I inc e.c out2.i 2>err2.txt").c_str());
    EXPECT_NE(rc, 0);
    EXPECT_EQ(read_whole(work / "err2.txt"),
              "\"" + fs::canonical(work).string() + "/inc/bad.h\" (1) Error: #error broken header\n");

    // Refused options write nothing and fail.
    rc = std::system((prefix + "--help src.c help.i 2>err3.txt").c_str());
    EXPECT_NE(rc, 0);
    EXPECT_FALSE(fs::exists(work / "help.i"));
    EXPECT_EQ(read_whole(work / "err3.txt").rfind("cpp: option '--help' is not taken: ", 0), 0u);
    fs::remove_all(work);
}

TEST(TcxCpp, IncludesThatNeverEndAreRefusedOrBounded) {
    fs::path cpp = fs::path(ZUN_STAGE_BIN) / "cpp";
    if (!fs::exists(cpp)) GTEST_SKIP() << "cpp is not built";
    fs::path work = fs::temp_directory_path() / ("tcx_cpp_dev_" + std::to_string(::getpid()));
    fs::create_directories(work / "inc");
    ASSERT_EQ(mkfifo((work / "inc" / "fifo.h").c_str(), 0600), 0);
    std::ofstream(work / "zero.c") << "int a;\n#include \"/dev/zero\"\n";
    std::ofstream(work / "fifo.c") << "#include \"ok.h\"\n#include <fifo.h>\n";
    std::ofstream(work / "inc" / "ok.h") << "  #  include \"fifo.h\"\n";
    std::ofstream(work / "hidden.c") << "#define Z \"/dev/zero\"\n#include Z\n";
    std::string prefix = "cd '" + work.string() + "' && '" + cpp.string() + "' -I inc ";
    const std::string dir = fs::canonical(work).string();
    // Where the wrapper can see the file, it is refused before GNU cpp runs.
    EXPECT_NE(std::system((prefix + "zero.c z.i 2>err.txt").c_str()), 0);
    EXPECT_EQ(read_whole(work / "err.txt"), "\"" + dir + "/zero.c\" (2) Error: '/dev/zero' is not a regular file\n");
    EXPECT_NE(std::system((prefix + "fifo.c f.i 2>err.txt").c_str()), 0);
    EXPECT_EQ(read_whole(work / "err.txt"), "\"" + dir + "/inc/ok.h\" (1) Error: 'fifo.h' is not a regular file\n");
    // Behind a macro it is not seen; the memory bound ends GNU cpp at once.
    auto start = std::chrono::steady_clock::now();
    EXPECT_NE(std::system((prefix + "hidden.c h.i 2>err.txt").c_str()), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_NE(read_whole(work / "err.txt").find("\"" + dir + "/hidden.c\" (0) Error: "), std::string::npos)
        << read_whole(work / "err.txt");
    EXPECT_FALSE(fs::exists(work / "z.i") || fs::exists(work / "f.i") || fs::exists(work / "h.i"));
    fs::remove_all(work);
}

}  // namespace
}  // namespace zun::cpp
