// Tree goldens: each trees/NAME.c is parsed and every function's statement
// records print to exactly trees/NAME.tree, followed by the messages.
// TCX_GOLDEN_UPDATE=1 rewrites the expected files after a deliberate change.
#include "harness.h"
#include "tree_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zun::tcx::test {
namespace {

namespace fs = std::filesystem;

// Parses a whole file and prints what the code generator would receive.
std::string parse_and_print(const std::string& source, std::vector<std::string> args = {}) {
    args.push_back("t.c");
    Options o = parse_options(args);
    o.working_dir = "/src";
    o.read_file = [source](const std::string& p) -> std::optional<std::string> {
        if (p == "t.c") return source;
        return std::nullopt;
    };
    TranslationUnit tu(o);
    std::string out;
    tu.function_hook = [&out](const FunctionDef& f) {
        out += print_function(f);
        return false;
    };
    tu.input_text = source;
    tu.file_name = "t.c";
    try {
        init_builtin_types(tu);
        write_header(tu);
        scan_init(tu);
        scan_token(tu);
        translation_unit(tu);
    } catch (const Fatal& f) {
        out += "fatal " + std::to_string(f.exit_code) + "\n";
    }
    return out + "--- messages\n" + tu.err;
}

std::vector<std::string> tree_cases() { return c_sources_in(TCX_TREE_DIR); }

class TcxTree : public ::testing::TestWithParam<std::string> {};

TEST_P(TcxTree, PrintsExpectedTrees) {
    fs::path dir = TCX_TREE_DIR;
    // A case whose name ends in _option also runs with -Ordc.
    std::vector<std::string> args = {"-w6"};
    if (GetParam().size() > 7 && GetParam().substr(GetParam().size() - 7) == "_option") args.push_back("-Ordc");
    std::string got = parse_and_print(read_whole(dir / (GetParam() + ".c")), args);
    fs::path want = dir / (GetParam() + ".tree");
    if (std::getenv("TCX_GOLDEN_UPDATE")) std::ofstream(want, std::ios::binary | std::ios::trunc) << got;
    EXPECT_EQ(got, read_whole(want));
}

INSTANTIATE_TEST_SUITE_P(Cases, TcxTree, ::testing::ValuesIn(tree_cases()));

// The last expression statement of main's body, printed.
std::string last_tree(const std::string& decls, const std::string& stmt) {
    std::string p = parse_and_print(decls + "\nvoid main(void) {\n" + stmt + "\n}\n");
    size_t end = p.find("--- messages");
    size_t at = p.rfind("    expr ", end);
    if (at == std::string::npos) return p;
    size_t nl = p.find('\n', at);
    return p.substr(at + 9, nl - at - 9);
}

TEST(TcxTreeParts, SubscriptIsSymmetric) {
    EXPECT_EQ(last_tree("int a[4]; int i;", "a[i] = 1;"), last_tree("int a[4]; int i;", "i[a] = 1;"));
}

TEST(TcxTreeParts, StructResultMemberWrapsTheCall) {
    std::string t = last_tree("struct s { int a, m; }; struct s f(void); int x;", "x = f().m;");
    EXPECT_NE(t.find("(saddr:p2 (call:s4 (name f) -))"), std::string::npos) << t;
}

TEST(TcxTreeParts, PointerStepsByElementSize) {
    EXPECT_EQ(last_tree("long *p;", "p++;"), "(post++:p2 (load:p2 (name p)) 4:l4)");
    EXPECT_EQ(last_tree("double d;", "d++;"), "(post++:d4 (load:d4 (name d)) 1:d4)");
    EXPECT_EQ(last_tree("int *p;", "--p;"), "(-=:p2 (load:p2 (name p)) 2:i2)");
}

TEST(TcxTreeParts, ArgumentsRunLastFirstExceptPascal) {
    EXPECT_EQ(last_tree("void f(int a, int b);", "f(1, 2);"),
              "(call:v-1 (name f) (pair:i2 2:i2 (pair:i2 1:i2 -)))");
    EXPECT_EQ(last_tree("void __pascal f(int a, int b);", "f(1, 2);"),
              "(call:v-1 (name f) (pair:i2 1:i2 (pair:i2 2:i2 -)))");
}

TEST(TcxTreeParts, UnprototypedCharArgumentsStayOneByte) {
    EXPECT_EQ(last_tree("void g(); char c; float x;", "g(c, x);"),
              "(call:v-1 (name g) (pair:d4 (conv:d4 (load:f4 (name x))) (pair:c1 (load:c1 (name c)) -)))");
}

TEST(TcxTreeParts, UnsignedArgumentsWidenToLongParameters) {
    std::string t = last_tree("void f(long v); unsigned u;", "f(u);");
    EXPECT_EQ(t, "(call:v-1 (name f) (pair:l4 (conv:l4 (load:u2 (name u))) -))");
    t = last_tree("void f(long v);", "f(0xFFFF);");
    EXPECT_EQ(t, "(call:v-1 (name f) (pair:l4 65535:l4 -))");
    t = last_tree("void f(long v); int i;", "f(i);");
    EXPECT_EQ(t, "(call:v-1 (name f) (pair:l4 (conv:l4 (load:i2 (name i))) -))");
}

TEST(TcxTreeParts, WideRightSidesOfAssignmentOperatorsStayWide) {
    EXPECT_EQ(last_tree("int i;", "i *= 2.5;"), "(*=:i2 (load:i2 (name i)) 2.5:d4)");
    EXPECT_EQ(last_tree("int i; long l;", "i %= l;"), "(%=:i2 (load:i2 (name i)) (load:l4 (name l)))");
    EXPECT_EQ(last_tree("long l; float f;", "l -= f;"), "(-=:l4 (load:l4 (name l)) (load:f4 (name f)))");
    // bitwise operators and shifts keep the low bits alike either way
    EXPECT_EQ(last_tree("int i; long l;", "i &= l;"), "(&=:i2 (load:i2 (name i)) (conv:i2 (load:l4 (name l))))");
    EXPECT_EQ(last_tree("char c; int i;", "c += i;"), "(+=:c1 (load:c1 (name c)) (conv:c1 (load:i2 (name i))))");
}

TEST(TcxTreeParts, NarrowDivisionRunsInThePromotedType) {
    EXPECT_EQ(last_tree("char c;", "c /= 300;"), "(/=:c1 (load:c1 (name c)) 300:i2)");
    EXPECT_EQ(last_tree("char c;", "c %= 7;"), "(%=:c1 (load:c1 (name c)) 7:c1)");
    EXPECT_EQ(last_tree("int i; unsigned u;", "i /= u;"), "(/=:i2 (load:i2 (name i)) (load:u2 (name u)))");
    EXPECT_EQ(last_tree("int i; unsigned u;", "u /= i;"), "(/=:u2 (load:u2 (name u)) (conv:u2 (load:i2 (name i))))");
}

}  // namespace
}  // namespace zun::tcx::test
