// The cpp wrapper: argument translation, marker filtering, message rewriting,
// and one end-to-end run of the staged program over the host's GNU cpp.
#include "compiler/cpp/cpp_wrapper.h"
#include "tests/tools/tool_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

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

// Only the options of the list are passed on: any other may write a report
// beside the output or into an input (-time=FILE appends to the file it
// names), print statistics or run another program.
TEST(TcxCpp, RefusesEveryOptionOutsideTheList) {
    for (const char* option : {"--help", "--version", "-M", "-MD", "-MMD", "-dM", "-dD", "-dumpversion", "-fdirectives-only",
                               "-fpreprocessed", "-fdebug-cpp", "-save-temps", "-print-search-dirs", "-###", "-Wp,-MD,x.d",
                               "-Wa,-x", "-Xpreprocessor", "-time", "-time=h.c", "-fmem-report", "-ftime-report", "-fstats",
                               "-fdump-tree-all", "-fdiagnostics-color=always", "-fmessage-length=20", "-E", "-O2", "-xc",
                               "-x", "-isysroot", "-iprefix", "-remap", "-std", "-Dx,", "-fno-mem-report", "-fexec-charset=", "-ftabstop=4"}) {
        Invocation inv = translate_args({option, "h.c", "o.i"});
        if (std::string_view(option) == "-Dx,") {
            EXPECT_TRUE(inv.ok) << option;  // a value may hold anything
            continue;
        }
        EXPECT_FALSE(inv.ok) << option;
        EXPECT_EQ(inv.error, std::string("option '") + option + "' is not taken: it changes what the preprocessor writes");
    }
    for (const char* option : {"-wrapper", "-B/tmp", "-specs=x", "-fplugin=x.so"})
        EXPECT_EQ(translate_args({option, "h.c", "o.i"}).error,
                  std::string("option '") + option + "' is not taken: it runs or loads another program");
    // What the workbench and the manual pass stays.
    for (const char* option : {"-C", "-CC", "-P", "-v", "-H", "-w", "-W", "-Wall", "-Wno-comment", "-Werror=undef",
                               "-pedantic", "-pedantic-errors", "-ansi", "-trigraphs", "-traditional-cpp", "-std=c89",
                               "-std=gnu99", "-undef", "-nostdinc", "-DX", "-D'X=1'", "-UY", "-Apred=ans", "-Iinc", "-I-",
                               "-fdollars-in-identifiers", "-fno-dollars-in-identifiers", "-fextended-identifiers",
                               "-fexec-charset=UTF-8", "-fwide-exec-charset=UTF-32LE", "-finput-charset=latin1",
                               "-fmax-include-depth=50"})
        EXPECT_TRUE(translate_args({option, "h.c", "o.i"}).ok) << option;
}

// GNU cpp reads an argument that begins with '@' as a file of more
// arguments, which the refusals would never see; and an option that takes a
// value takes the next argument, so one right before the source and the
// output swallows the source and GNU cpp preprocesses nothing.
TEST(TcxCpp, RefusesResponseFilesAndOptionsWithoutTheirValue) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"@rsp", "h.c", "o.i"}, {"-I", "@rsp", "h.c", "o.i"}, {"@h.c", "o.i"}, {"h.c", "@o.i"}}) {
        Invocation inv = translate_args(args);
        EXPECT_FALSE(inv.ok) << args[0];
        EXPECT_EQ(inv.error.rfind("argument '@", 0), 0u) << inv.error;
    }
    const char* const separate[] = {"-D", "-U", "-I", "-A", "-include", "-imacros", "-idirafter", "-isystem", "-iquote"};
    for (const char* option : separate) {
        for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
                 {option, "h.c", "o.i"}, {"-DX", option, "h.c", "o.i"}, {"h.c", "o.i", option}}) {
            Invocation inv = translate_args(args);
            EXPECT_FALSE(inv.ok) << option;
            EXPECT_EQ(inv.error, std::string("option '") + option + "' needs a value");
        }
        // With its value it is passed on, and the value is no file.
        Invocation inv = translate_args({option, "v", "h.c", "o.i"});
        ASSERT_TRUE(inv.ok) << option << " " << inv.error;
        EXPECT_EQ(inv.source, "h.c");
        EXPECT_EQ(inv.output, "o.i");
        EXPECT_EQ(std::vector<std::string>(inv.args.end() - 3, inv.args.end()),
                  (std::vector<std::string>{option, "v", "h.c"}));
    }
    // The joined forms carry their value; options may follow the files.
    for (const char* option : {"-isysteminc", "-includeh.h", "-iquoteq", "-imacrosm.h", "-idirafterd", "-Apred=ans", "-DX"}) {
        Invocation inv = translate_args({option, "h.c", "o.i"});
        ASSERT_TRUE(inv.ok) << option;
        EXPECT_EQ(inv.args.back(), "h.c");
    }
    Invocation after = translate_args({"h.c", "o.i", "-isystem", "inc"});
    ASSERT_TRUE(after.ok);
    EXPECT_EQ(after.source, "h.c");
}

TEST(TcxCpp, DropsOnlyMarkersOfPseudoFiles) {
    std::string in =
        "# 0 \"src.c\"\n# 0 \"<built-in>\"\n# 0 \"<command-line>\"\n# 1 \"src.c\"\n"
        "# 1 \"inc/h.h\" 1\nint a; /* \"<x>\" */\n#pragma BSS b\n";
    EXPECT_EQ(filter_markers(in),
              "# 0 \"src.c\"\n# 1 \"src.c\"\n# 1 \"inc/h.h\" 1\nint a; /* \"<x>\" */\n#pragma BSS b\n");
}

TEST(TcxCpp, ReadsTheFilesOfADependencyRule) {
    EXPECT_EQ(parse_dependencies("run: s.c a\\ b\\#$$c.h bs\\\\\\ x.h \\\n  in\\c/x.h two\\\\ y.h\n"),
              (std::vector<std::string>{"s.c", "a b#$c.h", "bs\\ x.h", "in\\c/x.h", "two\\", "y.h"}));
    EXPECT_EQ(parse_dependencies(""), std::vector<std::string>{});
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
        "cc1: out of memory allocating 536870928 bytes after a total of 561152 bytes\n"
        "virtual memory exhausted: Cannot allocate memory\n";
    // Running out of memory says that the preprocessor's limit was reached.
    EXPECT_EQ(rewrite_messages(verbose, "/p/q", "src/a.c"),
              "\"/p/q/src/a.c\" (0) Error: preprocessing ran out of memory (the limit is 512 MB): cc1: out of memory "
              "allocating 536870928 bytes after a total of 561152 bytes\n"
              "\"/p/q/src/a.c\" (0) Error: preprocessing ran out of memory (the limit is 512 MB): virtual memory "
              "exhausted: Cannot allocate memory\n");
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
    // A source named like a response file would bring in a program to run.
    std::ofstream(work / "rsp") << "-wrapper '/bin/sh,-c,touch ran' src.c\n";
    std::ofstream(work / "@rsp") << "int y;\n";
    rc = std::system((prefix + "@rsp rsp.i 2>err4.txt").c_str());
    EXPECT_NE(rc, 0);
    EXPECT_EQ(read_whole(work / "err4.txt").rfind("cpp: argument '@rsp' is not taken: ", 0), 0u);
    EXPECT_FALSE(fs::exists(work / "ran") || fs::exists(work / "rsp.i"));
    // An option right before the source would take it for its value.
    rc = std::system((prefix + "-isystem src.c sys.i 2>err5.txt").c_str());
    EXPECT_NE(rc, 0);
    EXPECT_EQ(read_whole(work / "err5.txt"), "cpp: option '-isystem' needs a value\n");
    EXPECT_FALSE(fs::exists(work / "sys.i"));
    fs::remove_all(work);
}

// The output may be no file that the run reads: not the source, nor a header
// it includes, however the name is spelt or linked. Such a run, and one with
// an option outside the list, fails and leaves every file as it was.
TEST(TcxCpp, NeverWritesOverWhatItReads) {
    fs::path cpp = fs::path(ZUN_STAGE_BIN) / "cpp";
    if (!fs::exists(cpp)) GTEST_SKIP() << "cpp is not built";
    fs::path work = fs::temp_directory_path() / ("tcx_cpp_in_" + std::to_string(::getpid()));
    fs::create_directories(work / "sub");
    const std::map<std::string, std::string> inputs = {{"src.c", "#include \"inc.h\"\n#include <deep.h>\nint a = X + Y;\n"},
                                                       {"inc.h", "#define X 1\n"},
                                                       {"sub/deep.h", "#define Y 2\n"},
                                                       {"pre.h", "#define Z 3\n"}};
    for (const auto& [name, text] : inputs) std::ofstream(work / name) << text;
    fs::create_symlink("inc.h", work / "link.h");
    fs::create_hard_link(work / "sub" / "deep.h", work / "hard.h");
    std::string prefix = "cd '" + work.string() + "' && '" + cpp.string() + "' -Isub -include pre.h ";
    auto unchanged = [&] {
        for (const auto& [name, text] : inputs) EXPECT_EQ(read_whole(work / name), text) << name;
        for (const auto& e : fs::recursive_directory_iterator(work))
            EXPECT_NE(e.path().filename().string().rfind("cp", 0), 0u) << e.path();
    };
    for (std::string output : {std::string("inc.h"), std::string("./inc.h"), std::string("sub/../inc.h"), std::string("link.h"), std::string("hard.h"), std::string("sub/deep.h"), std::string("pre.h"),
                               (work / "inc.h").string()}) {
        EXPECT_NE(std::system((prefix + "src.c '" + output + "' 2>err.txt").c_str()), 0) << output;
        EXPECT_EQ(read_whole(work / "err.txt"), "\"src.c\" (0) Error: Can't write '" + output + "': it is an input of this run\n");
        unchanged();
    }
    EXPECT_EQ(std::system((prefix + "src.c sub/ok.i 2>err.txt").c_str()), 0);
    EXPECT_EQ(read_whole(work / "err.txt"), "");
    EXPECT_NE(read_whole(work / "sub" / "ok.i").find("int a = 1 + 2;"), std::string::npos);
    unchanged();

    // Options outside the list write nothing, also not into the source.
    for (std::string option : {"-time=src.c", "-fmem-report"}) {
        EXPECT_NE(std::system((prefix + option + " src.c o.i >out.txt 2>err.txt").c_str()), 0) << option;
        EXPECT_EQ(read_whole(work / "err.txt"),
                  "cpp: option '" + option + "' is not taken: it changes what the preprocessor writes\n");
        EXPECT_EQ(read_whole(work / "out.txt"), "");
        EXPECT_FALSE(fs::exists(work / "o.i"));
        unchanged();
    }
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
    // A macro that grows without end reaches the memory limit, and says so.
    std::ofstream bomb(work / "bomb.c");
    bomb << "#define A0 xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n";
    for (int i = 1; i <= 32; ++i) bomb << "#define A" << i << " A" << i - 1 << " A" << i - 1 << "\n";
    bomb << "A32\n";
    bomb.close();
    EXPECT_NE(std::system((prefix + "bomb.c b.i 2>err.txt").c_str()), 0);
    EXPECT_NE(read_whole(work / "err.txt").find("\"" + dir + "/bomb.c\" (0) Error: preprocessing ran out of memory (the "
                                                "limit is 512 MB): "),
              std::string::npos)
        << read_whole(work / "err.txt");
    EXPECT_FALSE(fs::exists(work / "z.i") || fs::exists(work / "f.i") || fs::exists(work / "h.i") ||
                 fs::exists(work / "b.i"));
    fs::remove_all(work);
}

}  // namespace
}  // namespace zun::cpp
