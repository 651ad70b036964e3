// String data that the assembler must read back byte for byte, and
// reservations of empty objects.
#include "tests/compiler/codegen/harness.h"

#include <gtest/gtest.h>

namespace zun::tcx::test {
namespace {

std::string string_data(const std::string& bytes) {
    Gen g;
    data_string(*g.tu, 3, bytes);
    return g.take();
}

TEST(StringData, EscapesTheAssemblerReadsBack) {
    EXPECT_EQ(string_data("Hi, you.\n"), "_3:\tFCS\t\"Hi, you.\\n\"\n\tFCB\t0\n");
    EXPECT_EQ(string_data("a\rb\b"), "_3:\tFCS\t\"a\\rb\\b\"\n\tFCB\t0\n");
    // vertical tab, form feed and 4 have no escape the assembler reads as such
    EXPECT_EQ(string_data("a\x0b"), "_3: \tFCB\t$61,$B,$0\n");
    EXPECT_EQ(string_data("\x0c"), "_3: \tFCB\t$C,$0\n");
    EXPECT_EQ(string_data("\x04"), "_3: \tFCB\t$4,$0\n");
    EXPECT_EQ(string_data("tab\there"), "_3: \tFCB\t$74,$61,$62,$9,$68,$65,$72,$65,$0\n");
}

TEST(StringData, LongTextSplitsOverLines) {
    std::string s(150, 'x');
    s[63] = '\n';  // an escape across the first split point stays whole
    std::string t = string_data(s);
    std::string first = "_3:\tFCS\t\"" + std::string(63, 'x') + "\\n\"\n";
    EXPECT_EQ(t.substr(0, first.size()), first);
    std::string joined;
    size_t at = 0;
    int lines = 0;
    while ((at = t.find("FCS\t\"", at)) != std::string::npos) {
        at += 5;
        size_t end = t.find("\"\n", at);
        joined += t.substr(at, end - at);
        ++lines;
    }
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(joined, std::string(63, 'x') + "\\n" + std::string(86, 'x'));
}

TEST(FloatData, WordsAndQuads) {
    Gen g;
    data_float_words(*g.tu, 1.0);
    data_word(*g.tu, "_5");
    data_float(*g.tu, nullptr, -2.5);
    EXPECT_EQ(g.take(), " fdb $3F80,$0,_5\n\tFQB\t$C0200000\n");
}

TEST(Reserve, EmptyObjectHasOnlyItsLabel) {
    Gen g;
    Symbol s;
    s.name = "none";
    s.sclass = StorageClass::Global;
    Type t;
    t.size = 0;
    s.type = &t;
    data_reserve(*g.tu, &s);
    t.size = 3;
    data_reserve(*g.tu, &s);
    EXPECT_EQ(g.take(), "\tSEGMENT\t\n_none:\n_none:\tRMB\t$3\n");
}

}  // namespace
}  // namespace zun::tcx::test
