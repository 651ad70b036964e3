// Multiplication of 16-bit values by constants, which the generator makes
// of shifts and additions where that is cheaper than the runtime routine:
// every constant up to 64 and larger ones of few bits, times int, unsigned
// and char operands held in locals, a global, through a pointer and as an
// assignment operator's object, compiled into whole programs and compared
// with the host under every option set.
#include "tests/compiler/codegen/program_tools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <vector>

namespace zun::tcx::test {
namespace {

const int64_t values[] = {0, 1, -1, 3, 127, -128, 255, 1000, 12345, -32768, 32767, -2};

// The forms of x * C checked, each against the int product of the value
// (or of the value as a char for the char form).
const char* const forms[] = {"v * C", "C * v", "(int)(u * C)", "*p * C", "g * C", "(r = v, r *= C)", "c * C"};

std::vector<uint16_t> constants() {
    std::vector<uint16_t> k;
    for (uint16_t c = 3; c <= 64; ++c) k.push_back(c);
    for (uint16_t c : {100, 127, 129, 200, 255, 257, 320, 0x300, 0x505, 1000, 0x7FFF, 0x8001, 0xC000, 65533})
        k.push_back(c);
    return k;
}

std::string replace_c(std::string form, const std::string& c) {
    for (size_t at; (at = form.find('C')) != std::string::npos;) form.replace(at, 1, c);
    return form;
}

std::vector<std::string> programs(std::vector<uint16_t>& order) {
    std::vector<std::string> out;
    std::vector<uint16_t> all = constants();
    const size_t per_program = 40;
    for (size_t first = 0; first < all.size(); first += per_program) {
        std::string text = checks_head;
        text += "int vals[] = {";
        for (int64_t v : values) text += std::to_string(v) + ", ";
        text += "};\nint g;\n";
        std::string body;
        for (size_t k = first; k < all.size() && k < first + per_program; ++k) {
            uint16_t c = all[k];
            size_t id = order.size();
            order.push_back(c);
            std::string ci = "e" + std::to_string(id), cc = "c" + std::to_string(id);
            text += "static int " + ci + "[] = {";
            std::string chars = "static int " + cc + "[] = {";
            for (int64_t v : values) {
                text += std::to_string(static_cast<int16_t>(static_cast<uint16_t>(v * c))) + ", ";
                chars += std::to_string(static_cast<int16_t>(static_cast<uint16_t>(static_cast<int8_t>(v) * c))) + ", ";
            }
            text += "};\n" + chars + "};\n";
            std::string literal = std::to_string(c) + "u";
            for (size_t f = 0; f < std::size(forms); ++f) {
                std::string want = (f + 1 == std::size(forms) ? cc : ci) + "[i]";
                body += "        if ((int)(" + replace_c(forms[f], literal) + ") != " + want + ") fail(" +
                        std::to_string(id * 8 + f) + ", i, " + replace_c(forms[f], literal) + ");\n";
            }
        }
        text += "\nint main(void)\n{\n    int i, v, r;\n    unsigned u;\n    char c;\n    int *p = &v;\n"
                "    init_io();\n    for (i = 0; i < " + std::to_string(std::size(values)) +
                "; i++) {\n        v = vals[i];\n        u = v;\n        c = v;\n        g = v;\n" + body +
                "    }\n    if (failed == 0)\n        put_str(\"ok\\n\");\n    return failed;\n}\n";
        out.push_back(text);
    }
    return out;
}

TEST(TcxMulConstant, ProductsMatchTheHost) {
    std::vector<uint16_t> order;
    std::vector<std::string> progs = programs(order);
    int failures = run_checks(progs, "tcxmul", [&](unsigned id, unsigned i, unsigned r) {
        std::ostringstream s;
        unsigned k = id / 8, f = id % 8;
        s << (f < std::size(forms) ? forms[f] : "?") << " with C = " << (k < order.size() ? order[k] : 0)
          << ", value " << (i < std::size(values) ? values[i] : 0) << ": got " << static_cast<int16_t>(r);
        return s.str();
    });
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace zun::tcx::test
