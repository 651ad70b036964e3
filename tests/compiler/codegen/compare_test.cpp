// Every relational and equality operator, in both orders, between char,
// unsigned char, int and unsigned operands (plain and cast) and constants at
// the edges of each type, signed and unsigned, and variables of every type:
// compiled into whole programs that loop over edge values of the left
// operand and compare the twelve results with the host model's, under every
// option set.
#include "tests/compiler/codegen/program_tools.h"
#include "tests/compiler/expr_model.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace zun::tcx::test {
namespace {

using namespace model;

const char* const ops[] = {"==", "!=", "<", "<=", ">", ">="};

struct Side {
    std::string text;
    T type;
    int64_t v = 0;  // a constant's or a right variable's value
};

// Values the left variable takes: the edges of its type and their neighbours.
std::vector<int64_t> left_values(T t) {
    switch (t) {
    case T::Char: return {-128, -127, -1, 0, 1, 2, 126, 127};
    case T::UChar: return {0, 1, 2, 126, 127, 128, 254, 255};
    case T::Int: return {-32768, -129, -128, -1, 0, 1, 127, 128, 255, 256, 32767};
    default: return {0, 1, 127, 128, 255, 256, 32767, 32768, 65408, 65535};
    }
}

// The left operand's forms over the variable v of type t: itself and its casts.
std::vector<std::pair<std::string, T>> left_forms(T t) {
    switch (t) {
    case T::Char: return {{"v", T::Char}, {"(unsigned)v", T::UInt}, {"(unsigned char)v", T::UChar}};
    case T::UChar: return {{"v", T::UChar}, {"(unsigned)v", T::UInt}, {"(char)v", T::Char}};
    case T::Int:
        return {{"v", T::Int}, {"(unsigned)v", T::UInt}, {"(char)v", T::Char}, {"(unsigned char)v", T::UChar}};
    default: return {{"v", T::UInt}, {"(int)v", T::Int}, {"(char)v", T::Char}, {"(unsigned char)v", T::UChar}};
    }
}

std::vector<Side> constants() {
    std::vector<Side> k;
    for (int64_t v : {0, 127, 128, 255, 256, 32767, 32768, 65535}) {
        k.push_back({std::to_string(v), v > 32767 ? T::Long : T::Int, v});
        k.push_back({std::to_string(v) + "u", T::UInt, v});
    }
    for (int64_t v : {-1, -128, -129}) k.push_back({"(" + std::to_string(v) + ")", T::Int, v});
    k.push_back({"(-32767-1)", T::Int, -32768});
    return k;
}

// Right-hand variables: a few edge values of every type.
std::vector<Side> variables() {
    std::vector<Side> w;
    const std::pair<T, std::vector<int64_t>> sets[] = {
        {T::Char, {-128, -1, 127}}, {T::UChar, {0, 128, 255}}, {T::Int, {-1, 128, 32767}}, {T::UInt, {0, 255, 65408}}};
    for (const auto& [t, values] : sets)
        for (int64_t v : values) w.push_back({"", t, v});
    return w;
}

struct Check {
    std::string what;
    std::vector<unsigned> masks;  // per left value
};

// The twelve results as bits: left op right, then right op left.
unsigned mask(Val l, Val r) {
    unsigned m = 0;
    for (int op = 0; op < 6; ++op) {
        Val a, b;
        binary(10 + op, l, r, a);
        binary(10 + op, r, l, b);
        m |= (a.v ? 1u : 0u) << op;
        m |= (b.v ? 1u : 0u) << (op + 6);
    }
    return m;
}

struct MatrixGen {
    std::vector<Check> checks;
    std::string text;

    // One function per left form: the loop over the values of v and a
    // block of twelve comparisons for each right operand.
    void function(T t, const std::string& form, T ft, const std::vector<Side>& rights, int& fn) {
        std::vector<int64_t> values = left_values(t);
        std::string f = "static void f" + std::to_string(fn) + "(void)\n{\n    int i;\n    unsigned r;\n    " +
                        type_name(t) + " v;\n";
        std::string setup, body;
        for (const Side& rs : rights) {
            size_t id = checks.size();
            std::string right = rs.text;
            if (right.empty()) {
                right = "w" + std::to_string(id);
                f += std::string("    ") + type_name(rs.type) + " " + right + ";\n";
                setup += "    " + right + " = " + std::to_string(rs.v) + ";\n";
            }
            Check c;
            c.what = form + " against " + right + (rs.text.empty() ? std::string(" (") + type_name(rs.type) + " " +
                                                                           std::to_string(rs.v) + ")"
                                                                     : "");
            std::string table = "static unsigned e" + std::to_string(id) + "[] = {";
            for (int64_t v : values) {
                c.masks.push_back(mask({ft, wrap(ft, v)}, {rs.type, rs.v}));
                table += std::to_string(c.masks.back()) + "u, ";
            }
            text += table + "};\n";
            body += "        r = 0;\n";
            for (int op = 0; op < 6; ++op) {
                body += "        if (" + form + " " + ops[op] + " " + right + ") r |= " + std::to_string(1u << op) + ";\n";
                body += "        if (" + right + " " + ops[op] + " " + form + ") r |= " +
                        std::to_string(1u << (op + 6)) + ";\n";
            }
            body += "        if (r != e" + std::to_string(id) + "[i]) fail(" + std::to_string(id) + ", i, r);\n";
            checks.push_back(c);
        }
        text += std::string(type_name(t)) + " vals" + std::to_string(fn) + "[] = {";
        for (int64_t v : values) text += std::to_string(v) + ", ";
        text += "};\n";
        f += setup + "    for (i = 0; i < " + std::to_string(values.size()) + "; i++) {\n        v = vals" +
             std::to_string(fn) + "[i];\n" + body + "    }\n}\n";
        text += f;
        ++fn;
    }

    // The programs, each a few functions long, so that each fits the board.
    std::vector<std::string> programs() {
        std::vector<std::string> out;
        int fn = 0;
        auto close = [&](int first) {
            text += "\nint main(void)\n{\n    init_io();\n";
            for (int i = first; i < fn; ++i) text += "    f" + std::to_string(i) + "();\n";
            text += "    if (failed == 0)\n        put_str(\"ok\\n\");\n    return failed;\n}\n";
            out.push_back(checks_head + text);
            text.clear();
        };
        for (T t : {T::Char, T::UChar, T::Int, T::UInt}) {
            int first = fn;
            for (const auto& [form, ft] : left_forms(t)) {
                function(t, form, ft, constants(), fn);
                if (form == "v") function(t, form, ft, variables(), fn);
            }
            close(first);
        }
        return out;
    }
};

TEST(TcxCompareMatrix, EveryRelationalOperatorAtTheEdges) {
    MatrixGen gen;
    int failures = run_checks(gen.programs(), "tcxcmp", [&](unsigned id, unsigned i, unsigned r) {
        if (id >= gen.checks.size()) return std::string("unknown check");
        const Check& c = gen.checks[id];
        std::ostringstream s;
        s << c.what << ", value #" << i << ": results 0x" << std::hex << r << ", want 0x"
          << (i < c.masks.size() ? c.masks[i] : 0u);
        return s.str();
    });
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace zun::tcx::test
