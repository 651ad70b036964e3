// How often emitted code reads and writes each byte of an object named by a
// symbol (or of absolute addresses): the instruction lines whose operand is
// the symbol plus constants, by the width their mnemonic moves. A
// read-modify-write line (INC, ASL ...) counts as one read and one write.
// Lines through a register (n,X) or an immediate are not counted.
#pragma once

#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

namespace zun::tcx::test {

struct ByteAccess {
    int reads = 0, writes = 0;
};

// The symbol and the sum of the constants of an operand such as "2+_gs+$0A";
// false for an operand that is not a symbol or address plus constants.
inline bool operand_place(const std::string& operand, std::string& symbol, long& offset) {
    symbol.clear();
    offset = 0;
    if (operand.empty() || operand.find_first_of(",#[") != std::string::npos) return false;
    size_t i = 0;
    int sign = 1;
    while (i < operand.size()) {
        size_t end = operand.find_first_of("+-", i);
        if (end == std::string::npos) end = operand.size();
        std::string term = operand.substr(i, end - i);
        if (term.empty()) return false;
        char* stop = nullptr;
        long v = 0;
        if (term[0] == '$')
            v = std::strtol(term.c_str() + 1, &stop, 16);
        else if (std::isdigit(static_cast<unsigned char>(term[0])))
            v = std::strtol(term.c_str(), &stop, 0);
        if (stop && *stop == '\0') {
            offset += sign * v;
        } else if (symbol.empty() && sign > 0) {
            symbol = term;
        } else {
            return false;
        }
        if (end < operand.size()) sign = operand[end] == '-' ? -1 : 1;
        i = end + 1;
    }
    return true;
}

// Accesses by offset from the symbol (by address when symbol is empty).
inline std::map<long, ByteAccess> byte_accesses(const std::string& text, const std::string& symbol) {
    static const char* const rmw[] = {"INC", "DEC", "ASL", "LSL", "ASR", "LSR", "ROL", "ROR", "NEG", "COM"};
    static const char* const reading[] = {"LD", "CMP", "ADD", "ADC", "SUB", "SBC", "AND", "OR", "EOR", "BIT", "TST"};
    std::map<long, ByteAccess> out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || !std::isspace(static_cast<unsigned char>(line[0]))) continue;
        std::istringstream fields(line);
        std::string m, operand;
        fields >> m >> operand;
        for (char& c : m) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::string sym;
        long at = 0;
        if (operand.empty() || !operand_place(operand, sym, at) || sym != symbol) continue;
        bool is_rmw = false, reads = false;
        for (const char* r : rmw) is_rmw |= m == r;
        for (const char* r : reading) reads |= m.rfind(r, 0) == 0;
        bool writes = m.rfind("ST", 0) == 0 || m == "CLR";
        if (!is_rmw && !reads && !writes) continue;
        char last = m.back();
        int width = !is_rmw && m != "CLR" && m != "TST" && std::string("DXYUS").find(last) != std::string::npos ? 2 : 1;
        for (int b = 0; b < width; ++b) {
            ByteAccess& a = out[at + b];
            a.reads += is_rmw || reads;
            a.writes += is_rmw || writes;
        }
    }
    return out;
}

}  // namespace zun::tcx::test
