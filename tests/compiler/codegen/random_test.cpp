// Random expressions of the host model compiled as whole programs: the
// leaves are objects of every integer type (globals, locals, statics,
// registers, parameters, structure members, array elements, objects reached
// through pointers) set at run time, so the code generator rather than the
// folder computes them. Each program checks values, conditions, assignment
// operators and increments against the model's constants and prints the
// number of every failing check to ACIA 1. It runs with and without -O.
// Copies through walking pointers in loops (longs, structures, floats) are
// checks of their own. Some leaves are volatile members; those of global
// structures are counted in the emitted code: no more reads of each byte
// than the source has accesses that read, and every byte read alike.
// ZUN_RAND_CHECKS=N runs N checks instead of the short CI set, and
// ZUN_RAND_SEED=S starts from another seed, ZUN_RAND_DEPTH=D nests deeper,
// ZUN_RAND_KEEP=1 keeps the programs, ZUN_RAND_OPTS="-g,-g -O" compiles them
// with other option sets. A second generator does the same with
// float and double leaves and expressions; ZUN_RAND_FCHECKS=N sets its count.
#include "tests/compiler/codegen/access_count.h"
#include "tests/compiler/codegen/program_tools.h"
#include "tests/compiler/expr_model.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <vector>


namespace zun::tcx::test {
namespace {

using namespace model;

// A constant of type t with the value v, written so that it has that type.
std::string literal(T t, int64_t v) {
    switch (t) {
    case T::Int: return v == -32768 ? "(-32767-1)" : "(" + std::to_string(v) + ")";
    case T::UInt: return std::to_string(v) + "u";
    case T::Long: return v == INT32_MIN ? "(-2147483647L-1)" : "(" + std::to_string(v) + "L)";
    case T::ULong: return std::to_string(v) + "UL";
    case T::Char: return "((char)" + std::to_string(v) + ")";
    case T::UChar: return "((unsigned char)" + std::to_string(v) + ")";
    }
    return "";
}

// The spellings of each type in declarations.
std::string spelling(T t, int k) {
    switch (t) {
    case T::Int: return k % 3 == 0 ? "short" : k % 3 == 1 ? "signed int" : "int";
    case T::UInt: return k % 2 ? "unsigned short" : "unsigned";
    case T::Long: return k % 2 ? "long int" : "long";
    case T::ULong: return "unsigned long";
    case T::Char: return k % 2 ? "signed char" : "char";
    case T::UChar: return "unsigned char";
    }
    return "";
}

struct Function {
    std::vector<std::string> params, args;
    std::string locals, inits, body;
};

// What every generated program starts with: the support routines it calls
// and the failure report.
const std::string program_head =
    "/* generated */\nvoid init_io(void);\nvoid put_str(char *s);\nvoid put_hex(unsigned v);\n"
    "static int failed;\nstatic void fail(int id)\n{\n    put_str(\"FAIL \");\n"
    "    put_hex(id);\n    put_str(\"\\n\");\n    ++failed;\n}\n";

// The generated functions, then a main that calls each of them (after
// `prelude`) and prints "ok" when no check failed.
std::string functions_and_main(const std::vector<Function>& fns, const std::string& prelude) {
    std::string t;
    for (size_t i = 0; i < fns.size(); ++i) {
        const Function& f = fns[i];
        t += "\nstatic void f" + std::to_string(i) + "(";
        for (size_t p = 0; p < f.params.size(); ++p) t += (p ? ", " : "") + f.params[p];
        t += f.params.empty() ? "void)\n{\n" : ")\n{\n";
        t += "    int n;\n" + f.locals + f.inits + f.body + "}\n";
    }
    t += "\nint main(void)\n{\n    init_io();\n" + prelude;
    for (size_t i = 0; i < fns.size(); ++i) {
        t += "    f" + std::to_string(i) + "(";
        for (size_t a = 0; a < fns[i].args.size(); ++a) t += (a ? ", " : "") + fns[i].args[a];
        t += ");\n";
    }
    t += "    if (failed == 0)\n        put_str(\"ok\\n\");\n    return failed;\n}\n";
    return t;
}

struct Check {
    std::string what;  // the statement, for the report
};

// Builds programs; its leaves are objects of the function being built.
struct ProgramGen : Gen {
    std::string globals, functions;
    std::set<std::string> declared;
    Function* fn = nullptr;
    std::vector<Check> checks;
    std::vector<std::pair<std::string, Val>> used;  // leaves of the current check, for reuse
    int names = 0;
    bool effects = false;  // leaves may change objects (the check evaluates them once)

    explicit ProgramGen(unsigned seed) : Gen(seed) { defined = true; }

    int64_t value(T t) {
        static const int64_t edges[] = {0, 1, -1, 2, -2, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x10000,
                                        0x7FFFFFFF, 0x80000000LL, 0xFFFFFFFFLL};
        switch (pick(5)) {
        case 0: return wrap(t, edges[pick(std::size(edges))]);
        case 1: return wrap(t, pick(200) - 100);
        case 2: return wrap(t, (pick(2) ? -1 : 1) * (int64_t(1) << pick(width(t))));
        case 3: return wrap(t, pick(16));
        default: return wrap(t, static_cast<int64_t>(rng()));
        }
    }

    // A fresh object of type t holding v, or sometimes a call's result when
    // no lvalue is needed.
    std::string object(T t, int64_t v, bool lvalue = false) {
        std::string n = std::to_string(names++);
        std::string ty = spelling(t, pick(6));
        std::string k = literal(t, v);
        Function& f = *fn;
        switch (pick(lvalue ? 10 : 11)) {
        case 9: return volatile_member(ty, k, n, size_of(t));
        case 10: {  // the result of a call
            std::string id = "id" + std::to_string(static_cast<int>(t));
            if (declared.insert(id).second)
                functions += std::string("static ") + type_name(t) + " " + id + "(" + type_name(t) + " v)\n{\n    return v;\n}\n";
            return id + "(" + k + ")";
        }
        case 0:
            globals += ty + " g" + n + ";\n";
            f.inits += "    g" + n + " = " + k + ";\n";
            return "g" + n;
        case 1: {
            const char* cls = pick(3) == 0 ? "static " : size_of(t) <= 2 && pick(2) ? "register " : "";
            f.locals += std::string("    ") + cls + ty + " l" + n + ";\n";
            f.inits += "    l" + n + " = " + k + ";\n";
            return "l" + n;
        }
        case 2:
            f.params.push_back((pick(4) == 0 && size_of(t) <= 2 ? "register " : "") + ty + " p" + n);
            f.args.push_back(k);
            return "p" + n;
        case 3: {  // a member among others, of a global or local structure
            std::string s = "struct s" + n + " { char c; " + ty + " m; long w; int i; }";
            if (pick(2)) globals += s + " s" + n + ";\n";
            else f.locals += "    " + s + " s" + n + ";\n";
            f.inits += "    s" + n + ".c = 0x55; s" + n + ".w = -1; s" + n + ".m = " + k + ";\n";
            return "s" + n + ".m";
        }
        case 4: {  // the same reached through a pointer
            std::string s = "struct s" + n + " { long w; " + ty + " m; char c; }";
            globals += s + " s" + n + ";\n";
            f.locals += "    struct s" + n + " *q" + n + ";\n";
            f.inits += "    q" + n + " = &s" + n + "; s" + n + ".m = " + k + ";\n";
            return "q" + n + "->m";
        }
        case 5: case 6: {  // an array element at a constant or computed index
            int i = pick(4);
            if (pick(2)) globals += ty + " a" + n + "[4];\n";
            else f.locals += "    " + ty + " a" + n + "[4];\n";
            f.inits += "    a" + n + "[0] = a" + n + "[1] = a" + n + "[2] = a" + n + "[3] = " +
                       literal(t, wrap(t, ~v)) + "; a" + n + "[" + std::to_string(i) + "] = " + k + ";\n";
            if (pick(2)) return "a" + n + "[" + std::to_string(i) + "]";
            static const char* index_types[] = {"int", "char", "unsigned", "long", "unsigned char"};
            f.locals += std::string("    ") + index_types[pick(5)] + " i" + n + ";\n";
            f.inits += "    i" + n + " = " + std::to_string(i) + ";\n";
            return "a" + n + "[i" + n + "]";
        }
        default: {  // through a pointer to a global or local
            if (pick(2)) globals += ty + " v" + n + ";\n";
            else f.locals += "    " + ty + " v" + n + ";\n";
            f.locals += "    " + ty + " *q" + n + ";\n";
            f.inits += "    q" + n + " = &v" + n + "; *q" + n + " = " + k + ";\n";
            return pick(3) ? "*q" + n : "q" + n + "[0]";
        }
        }
    }

    bool leaf(std::string& text, Val& val) override {
        int k = pick(10);
        if (k == 0) return Gen::leaf(text, val);
        if (k == 1 && !used.empty()) {
            auto& u = used[pick(static_cast<int>(used.size()))];
            text = u.first;
            val = u.second;
            return true;
        }
        T t = static_cast<T>(pick(6));
        int64_t v = value(t);
        if (k == 2 && effects) {  // an object changed on the way, its value taken once
            std::string o = "(" + object(t, v, true) + ")";
            switch (pick(4)) {
            case 0: text = "(" + o + "++)"; val = {t, v}; break;
            case 1: text = "(--" + o + ")"; val = {t, wrap(t, v - 1)}; break;
            case 2: {
                int64_t w = value(t);
                text = "(" + o + " = " + literal(t, w) + ")";
                val = {t, w};
                break;
            }
            default: text = "(" + o + " += 3)"; val = {t, wrap(t, v + 3)}; break;
            }
            return true;
        }
        text = object(t, v);
        val = {t, v};
        used.push_back({text, val});
        return true;
    }

    void add(const std::string& statement, const std::string& what) {
        fn->body += statement;
        checks.push_back({what});
    }

    std::string fail() { return "fail(" + std::to_string(checks.size()) + ");"; }

    // Volatile members of global structures, whose accesses are counted in
    // the emitted code: the structure's name, the member's offset and size.
    struct Counted {
        std::string name;
        long offset = 0;
        int size = 0;
    };
    std::vector<Counted> counted;

    // A volatile member of type spelling ty holding k: of a global
    // structure (counted), of a local one, or reached through a pointer.
    std::string volatile_member(const std::string& ty, const std::string& k, const std::string& n, int size) {
        Function& f = *fn;
        std::string s = "s" + n;
        switch (pick(3)) {
        case 0:
            globals += "struct " + s + " { char c; volatile " + ty + " m; long w; } " + s + ";\n";
            f.inits += "    " + s + ".c = 0x55; " + s + ".w = -1; " + s + ".m = " + k + ";\n";
            counted.push_back({s, 1, size});
            return s + ".m";
        case 1:
            f.locals += "    struct " + s + " { int i; volatile " + ty + " m; char c; } " + s + ";\n";
            f.inits += "    " + s + ".i = -1; " + s + ".c = 0x55; " + s + ".m = " + k + ";\n";
            return s + ".m";
        default:
            globals += "struct " + s + " { long w; volatile " + ty + " m; char c; } " + s + ";\n";
            f.locals += "    struct " + s + " *q" + n + ";\n";
            f.inits += "    q" + n + " = &" + s + "; q" + n + "->m = " + k + ";\n";
            return "q" + n + "->m";
        }
    }

    // What is wrong with the counted members' accesses in the code s09
    // compiled from the program text: a byte read more often than the
    // source has accesses that may read it (any but the left side of a
    // plain assignment) or written more often than it names the member, or
    // the bytes of one member read or written unlike.
    std::string access_problems(const std::string& text, const std::string& s09) const {
        auto word_char = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
        std::string problems;
        for (const Counted& c : counted) {
            std::string ref = c.name + ".m";
            int named = 0, reading = 0;
            for (size_t at = text.find(ref); at != std::string::npos; at = text.find(ref, at + 1)) {
                size_t end = at + ref.size();
                if ((at > 0 && word_char(text[at - 1])) || (end < text.size() && word_char(text[end]))) continue;
                ++named;
                while (end < text.size() && text[end] == ')') ++end;
                if (text.compare(end, 3, " = ") != 0) ++reading;
            }
            std::map<long, ByteAccess> seen = byte_accesses(s09, "_" + c.name);
            const ByteAccess first = seen[c.offset];
            for (long b = c.offset; b < c.offset + c.size; ++b) {
                const ByteAccess a = seen[b];
                if (a.reads > reading || a.writes > named || a.reads != first.reads || a.writes != first.writes)
                    problems += ref + " byte " + std::to_string(b) + ": " + std::to_string(a.reads) + " reads, " +
                                std::to_string(a.writes) + " writes for " + std::to_string(reading) +
                                " reading accesses of " + std::to_string(named) + "\n";
            }
        }
        return problems;
    }

    // A loop that copies elements 1 to 4 of a five-element array through
    // walking pointers in one of the walk forms: both sides forwards,
    // backwards (*d-- = *s--) or stepping first (*--d = *--s), only the
    // destination or only the source walking, or two copies in one loop.
    // Then the copies, the untouched element 0 and where every pointer
    // ended are checked. set(e, i) gives element e the value set i;
    // differs(e, i) is true when e does not hold it.
    void walk_check(const std::string& type, const std::function<std::string(const std::string&, int)>& set,
                    const std::function<std::string(const std::string&, int)>& differs) {
        Function& f = *fn;
        std::string n = std::to_string(names++);
        const std::string ws = "ws" + n, wd = "wd" + n, wr = "wr" + n, we = "we" + n;
        const std::string d = "d" + n, s = "s" + n, e = "e" + n, r = "r" + n;
        for (const std::string& a : {ws, wd, wr, we}) {
            if (pick(2)) globals += type + " " + a + "[5];\n";
            else f.locals += "    " + type + " " + a + "[5];\n";
        }
        f.locals += std::string(pick(3) ? "    " : "    register ") + type + " *" + d + ", *" + s + ", *" + e +
                    ", *" + r + ";\n";
        auto at = [](const std::string& a, int i) { return a + "[" + std::to_string(i) + "]"; };
        for (int i = 0; i < 5; ++i)
            f.inits += set(at(ws, i), i) + set(at(wr, i), 5 + i) + set(at(wd, i), 10 + i) + set(at(we, i), 15 + i);
        auto start = [&](int from) {
            std::string i = std::to_string(from);
            return "    " + d + " = " + wd + " + " + i + "; " + s + " = " + ws + " + " + i + "; " + e + " = " + we +
                   " + " + i + "; " + r + " = " + wr + " + " + i + ";\n";
        };
        std::string body, copy = "*" + d + "++ = *" + s + "++;", second = "*" + e + "++ = *" + r + "++;";
        int end = 5;
        bool dw = true, sw = true, two = false;
        switch (pick(7)) {
        case 0: body = start(1) + "    for (n = 0; n < 4; n++)\n        " + copy + "\n"; break;
        case 1:
            body = start(4) + "    n = 4;\n    while (n--)\n        *" + d + "-- = *" + s + "--;\n";
            end = 0;
            break;
        case 2:
            body = start(5) + "    n = 4;\n    while (n--)\n        *--" + d + " = *--" + s + ";\n";
            end = 1;
            break;
        case 3:
            body = start(1) + "    for (n = 1; n < 5; n++)\n        *" + d + "++ = " + ws + "[n];\n";
            sw = false;
            break;
        case 4:
            body = start(1) + "    for (n = 1; n < 5; n++)\n        " + wd + "[n] = *" + s + "++;\n";
            dw = false;
            break;
        case 5:
            body = start(1) + "    for (n = 0; n < 4; n++) {\n        " + copy + "\n        " + second + "\n    }\n";
            two = true;
            break;
        default:
            body = start(4) + "    n = 4;\n    while (n--) {\n        *" + d + "-- = *" + s + "--;\n        *" + e +
                   "-- = *" + r + "--;\n    }\n";
            end = 0;
            two = true;
            break;
        }
        std::string k = std::to_string(end);
        std::string cond = differs(at(wd, 0), 10);
        if (dw) cond += " || " + d + " != " + wd + " + " + k;
        if (sw) cond += " || " + s + " != " + ws + " + " + k;
        if (two) cond += " || " + e + " != " + we + " + " + k + " || " + r + " != " + wr + " + " + k;
        for (int i = 1; i < 5; ++i) {
            cond += " || " + differs(at(wd, i), i);
            if (two) cond += " || " + differs(at(we, i), 5 + i);
        }
        add(body + "    if (" + cond + ") " + fail() + "\n", type + " copied through walking pointers:\n" + body);
    }

    // A walk check over longs, a structure, or ints and chars.
    void walk_ints() {
        int form = pick(5);
        if (form < 4) {
            static const T types[] = {T::Long, T::ULong, T::Int, T::Char};
            T t = types[form];
            std::vector<int64_t> vals;
            for (int i = 0; i < 20; ++i) vals.push_back(value(t));
            walk_check(
                type_name(t), [=](const std::string& e, int i) { return "    " + e + " = " + literal(t, vals[i]) + ";\n"; },
                [=](const std::string& e, int i) { return e + " != " + literal(t, vals[i]); });
            return;
        }
        // a structure of a char, some integer and a long
        T t = static_cast<T>(pick(6));
        std::string tag = "struct w" + std::to_string(names++);
        globals += tag + " { char c; " + spelling(t, pick(6)) + " m; long w; };\n";
        std::vector<std::array<std::string, 3>> vals;
        for (int i = 0; i < 20; ++i)
            vals.push_back({literal(T::Char, value(T::Char)), literal(t, value(t)), literal(T::Long, value(T::Long))});
        walk_check(
            tag,
            [=](const std::string& e, int i) {
                return "    " + e + ".c = " + vals[i][0] + "; " + e + ".m = " + vals[i][1] + "; " + e + ".w = " +
                       vals[i][2] + ";\n";
            },
            [=](const std::string& e, int i) {
                return "(" + e + ".c != " + vals[i][0] + " || " + e + ".m != " + vals[i][1] + " || " + e +
                       ".w != " + vals[i][2] + ")";
            });
    }

    // One check of the kind k into the current function.
    void check(int kind, int depth) {
        if (kind == 4) return walk_ints();
        used.clear();
        effects = pick(3) == 0;
        if (kind == 1 && effects) kind = 0;  // a loop's condition runs more than once
        std::string e;
        Val v;
        if (kind == 0) {  // a value compared with its constant, directly or after a store
            if (!expr(depth, e, v)) return;
            std::string k = literal(v.type, v.v);
            int form = pick(3);
            if (form == 2) {  // through a call's argument
                std::string id = "eq" + std::to_string(static_cast<int>(v.type));
                if (declared.insert(id).second)
                    functions += std::string("static int ") + id + "(" + type_name(v.type) + " a, " +
                                 type_name(v.type) + " b)\n{\n    return a == b;\n}\n";
                add("    if (!" + id + "(" + e + ", " + k + ")) " + fail() + "\n", e + " == " + k);
            } else if (form) {
                add("    if ((" + e + ") != " + k + " || sizeof(" + e + ") != " + std::to_string(size_of(v.type)) +
                        ") " + fail() + "\n",
                    e + " == " + k);
            } else {
                std::string r = "r" + std::to_string(names++);
                fn->locals += std::string("    ") + type_name(v.type) + " " + r + ";\n";
                add("    " + r + " = " + e + ";\n    if (" + r + " != " + k + ") " + fail() + "\n", e + " == " + k);
            }
            return;
        }
        if (kind == 1) {  // a condition, often a comparison of mixed types
            if (pick(3)) {
                std::string a, b;
                Val x, y;
                if (!expr(depth - 1, a, x) || !expr(depth - 1, b, y)) return;
                int op = 10 + pick(8);
                if (pick(3) == 0) {  // against a constant at or next to the value
                    T t = static_cast<T>(pick(4));
                    y = {t, wrap(t, x.v + pick(3) - 1)};
                    b = literal(t, y.v);
                }
                binary(op, x, y, v, true);
                e = "(" + a + ") " + binary_ops[op] + " (" + b + ")";
            } else if (!expr(depth, e, v)) {
                return;
            }
            std::string what = std::string(v.v ? "" : "!") + "(" + e + ")";
            switch (pick(3)) {
            case 0: add(v.v ? "    if (" + e + ") ; else " + fail() + "\n" : "    if (" + e + ") " + fail() + "\n", what); break;
            case 1: add(v.v ? "    if (!(" + e + ")) " + fail() + "\n" : "    if (!(" + e + ")) ; else " + fail() + "\n", what); break;
            default: add("    n = 0;\n    while (" + e + ") if (++n == 2) break;\n    if (n != " + (v.v ? "2" : "0") + ") " + fail() + "\n", what); break;
            }
            return;
        }
        // An assignment operator or a step on an object.
        T t = static_cast<T>(pick(6));
        int64_t old = value(t);
        std::string target = object(t, old, true);
        used.clear();  // the target is not a leaf of its right operand
        std::string stmt;
        Val res;
        if (kind == 2) {
            if (!expr(depth - 1, e, v)) return;
            int op = pick(11);
            if (op == 10) {
                res = {t, wrap(t, v.v)};
                stmt = target + " = " + e;
            } else {
                Val r;
                if (!binary(op, {t, old}, v, r, true)) return;
                res = {t, wrap(t, r.v)};
                stmt = target + " " + binary_ops[op] + "= " + e;
            }
        } else {
            static const char* steps[] = {"++", "--"};
            int up = pick(2), pre = pick(2);
            int64_t now = wrap(t, old + (up ? 1 : -1));
            stmt = pre ? steps[!up] + target : "(" + target + ")" + steps[!up];
            res = {t, pre ? now : old};
            old = now;  // the object's new value below
        }
        int64_t after = kind == 2 ? res.v : old;
        std::string k = literal(t, res.v);
        std::string ka = literal(t, after);
        if (pick(2))
            add("    if ((" + stmt + ") != " + k + " || " + target + " != " + ka + ") " + fail() + "\n",
                "(" + stmt + ") == " + k + " && " + target + " == " + ka);
        else
            add("    " + stmt + ";\n    if (" + target + " != " + ka + ") " + fail() + "\n", target + " == " + ka + " after " + stmt);
    }

    // A program of 'count' checks in functions of a few checks each.
    std::string program(int count, int depth) {
        std::vector<Function> fns;
        while (static_cast<int>(checks.size()) < count) {
            fns.emplace_back();
            fn = &fns.back();
            for (int i = 0; i < 6 && static_cast<int>(checks.size()) < count; ++i) {
                int k = pick(9);
                check(k < 3 ? 0 : k < 5 ? 1 : k < 7 ? 2 : k < 8 ? 3 : 4, depth - pick(2));
            }
        }
        std::string t = program_head;
        t += globals + functions;
        t += functions_and_main(fns, "");
        fn = nullptr;
        return t;
    }
};

// Floating point: float, double and long double are all IEEE single here,
// rounded to nearest even with subnormal results flushed to zero. The host
// computes each operation in float, one at a time through volatile
// temporaries, and keeps the values well inside the normal range so that
// flushing and overflow never come into it; results are compared bit for
// bit through a union with unsigned long.
struct F {
    float v;
};

float fop(int op, float a, float b) {
    volatile float x = a, y = b, r = 0;
    switch (op) {
    case 0: r = x + y; break;
    case 1: r = x - y; break;
    case 2: r = x * y; break;
    default: r = x / y; break;
    }
    return r;
}

uint32_t fbits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

bool tame(float f) {
    float a = std::fabs(f);
    return std::isfinite(f) && (a == 0 || (a >= 0x1p-100f && a <= 0x1p100f));
}

// A constant that reads back as exactly f, and has a floating type.
std::string fliteral(float f) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(f));
    std::string s = buf;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return std::signbit(f) ? "(" + s + ")" : s;
}

struct FloatGen : ProgramGen {
    explicit FloatGen(unsigned seed) : ProgramGen(seed) {}

    float fvalue() {
        switch (pick(6)) {
        case 0: {
            static const float edges[] = {0.0f, 1.0f, -1.0f, 0.5f, 2.0f, 0.25f, -0.5f, 10.0f, 100.0f, 0.1f, 1e6f, 1e-6f,
                                          16777216.0f, 65535.0f, 32767.0f, -32768.0f, 3.0f};
            return edges[pick(std::size(edges))];
        }
        case 1: return static_cast<float>(pick(200) - 100);
        case 2: return static_cast<float>(pick(4000) - 2000) / static_cast<float>(1 << pick(8));
        case 3: return std::ldexp(static_cast<float>(pick(1 << 24) + 1), pick(40) - 44) * (pick(2) ? 1.0f : -1.0f);
        case 4: return static_cast<float>(pick(1 << 24)) * static_cast<float>(pick(2) ? 1 : -1) / 256.0f;
        default: return std::ldexp(1.0f, pick(60) - 30) * (pick(2) ? 1.0f : -1.0f);
        }
    }

    std::string fspelling() {
        static const char* names[] = {"float", "double", "long double", "float"};
        return names[pick(4)];
    }

    // A floating object of some storage holding f (the integer generator's
    // placement, spelled for a floating type).
    std::string fobject(float f, bool lvalue = false) {
        std::string n = std::to_string(names++);
        std::string ty = fspelling();
        std::string k = fliteral(f);
        Function& fnc = *fn;
        switch (pick(lvalue ? 8 : 9)) {
        case 7: return volatile_member(ty, k, n, 4);
        case 8:
            if (declared.insert("idf").second) functions += "static float idf(float v)\n{\n    return v;\n}\n";
            return "idf(" + k + ")";
        case 0:
            globals += ty + " g" + n + ";\n";
            fnc.inits += "    g" + n + " = " + k + ";\n";
            return "g" + n;
        case 1:
            fnc.locals += std::string(pick(3) == 0 ? "    static " : "    ") + ty + " l" + n + ";\n";
            fnc.inits += "    l" + n + " = " + k + ";\n";
            return "l" + n;
        case 2:
            fnc.params.push_back(ty + " p" + n);
            fnc.args.push_back(k);
            return "p" + n;
        case 3: {
            std::string s = "struct s" + n + " { char c; " + ty + " m; int i; }";
            if (pick(2)) globals += s + " s" + n + ";\n";
            else fnc.locals += "    " + s + " s" + n + ";\n";
            fnc.inits += "    s" + n + ".c = 0x55; s" + n + ".i = -1; s" + n + ".m = " + k + ";\n";
            return "s" + n + ".m";
        }
        case 4: {
            std::string s = "struct s" + n + " { long w; " + ty + " m; char c; }";
            globals += s + " s" + n + ";\n";
            fnc.locals += "    struct s" + n + " *q" + n + ";\n";
            fnc.inits += "    q" + n + " = &s" + n + "; s" + n + ".m = " + k + ";\n";
            return "q" + n + "->m";
        }
        case 5: {
            int i = pick(3);
            if (pick(2)) globals += ty + " a" + n + "[3];\n";
            else fnc.locals += "    " + ty + " a" + n + "[3];\n";
            fnc.locals += "    int i" + n + ";\n";
            fnc.inits += "    a" + n + "[0] = a" + n + "[1] = a" + n + "[2] = -7.5; a" + n + "[" + std::to_string(i) +
                         "] = " + k + "; i" + n + " = " + std::to_string(i) + ";\n";
            return pick(2) ? "a" + n + "[i" + n + "]" : "a" + n + "[" + std::to_string(i) + "]";
        }
        default:
            if (pick(2)) globals += ty + " v" + n + ";\n";
            else fnc.locals += "    " + ty + " v" + n + ";\n";
            fnc.locals += "    " + ty + " *q" + n + ";\n";
            fnc.inits += "    q" + n + " = &v" + n + "; *q" + n + " = " + k + ";\n";
            return "*q" + n;
        }
    }

    // An integer leaf (any integer type) and its value converted to float.
    std::string ileaf(float& f) {
        T t = static_cast<T>(pick(6));
        int64_t v = value(t);
        f = static_cast<float>(v);
        return object(t, v);
    }

    // A random floating expression and its value.
    bool fexpr(int depth, std::string& text, float& val) {
        int k = depth <= 0 ? pick(3) : pick(12);
        if (k == 0 || k == 1) {
            val = fvalue();
            text = pick(6) ? fobject(val) : fliteral(val);  // a constant now and then, for the folder
            if (pick(8) == 0) {  // a literal with more digits than a float holds
                std::string d = std::to_string(pick(1000000)) + std::to_string(pick(1000000)) + "." +
                                std::to_string(pick(1000)) + "e" + std::to_string(pick(40) - 25);
                val = std::strtof(d.c_str(), nullptr);
                if (!tame(val)) return false;
                text = d;
            }
            return true;
        }
        if (k == 2) {  // an integer converted by a cast
            std::string i = ileaf(val);
            static const char* casts[] = {"(float)", "(double)", "(long double)"};
            text = std::string(casts[pick(3)]) + "(" + i + ")";
            return true;
        }
        if (k == 3) {  // float and integer mixed: the integer converts to float
            std::string a, i;
            float x, y;
            if (!fexpr(depth - 1, a, x)) return false;
            i = ileaf(y);
            int op = pick(4);
            if (op == 3 && y == 0) return false;
            bool swap = pick(2);
            val = swap ? fop(op, y, x) : fop(op, x, y);
            if (op == 3 && swap && x == 0) return false;
            if (!tame(val)) return false;
            static const char* ops[] = {"+", "-", "*", "/"};
            text = swap ? "(" + i + " " + ops[op] + " (" + a + "))" : "((" + a + ") " + ops[op] + " " + i + ")";
            return true;
        }
        if (k == 4) {  // negation
            if (!fexpr(depth - 1, text, val)) return false;
            text = "(-(" + text + "))";
            val = -val;
            return true;
        }
        if (k == 5) {  // the conditional operator
            std::string c, a, b;
            bool cv;
            float x, y;
            if (!fcond(depth - 1, c, cv) || !fexpr(depth - 1, a, x) || !fexpr(depth - 1, b, y)) return false;
            val = cv ? x : y;
            text = "((" + c + ") ? (" + a + ") : (" + b + "))";
            return true;
        }
        if (k == 6) {  // through an integer and back, truncating
            std::string a;
            float x;
            if (!fexpr(depth - 1, a, x)) return false;
            static const char* casts[] = {"int", "long", "unsigned", "unsigned long", "char", "unsigned char"};
            static const double lo[] = {-32768, -2147483648.0, 0, 0, -128, 0};
            static const double hi[] = {32767, 2147483647.0, 65535, 4294967295.0, 127, 255};
            int c = pick(6);
            double tr = std::trunc(static_cast<double>(x));
            if (tr < lo[c] || tr > hi[c]) return false;
            val = static_cast<float>(static_cast<int64_t>(tr));  // an integer zero has no sign
            text = std::string("(float)(") + casts[c] + ")(" + a + ")";
            return true;
        }
        std::string a, b;
        float x, y;
        if (!fexpr(depth - 1, a, x) || !fexpr(depth - 1, b, y)) return false;
        int op = pick(4);
        if (op == 3 && y == 0) return false;
        val = fop(op, x, y);
        if (!tame(val)) return false;
        static const char* ops[] = {"+", "-", "*", "/"};
        text = "(" + a + " " + ops[op] + " " + b + ")";
        return true;
    }

    // A comparison of floats, or of a float with an integer.
    bool fcond(int depth, std::string& text, bool& val) {
        std::string a, b;
        float x, y;
        if (!fexpr(depth, a, x)) return false;
        int form = pick(4);
        if (form == 0) b = ileaf(y);
        else if (form == 1) {  // against a constant at the value or next to it
            y = x + static_cast<float>(pick(3) - 1);
            b = fliteral(y);
        } else if (!fexpr(depth, b, y)) {
            return false;
        }
        static const char* ops[] = {"==", "!=", "<", "<=", ">", ">="};
        int op = pick(6);
        bool r[] = {x == y, x != y, x < y, x <= y, x > y, x >= y};
        val = r[op];
        text = "(" + a + ") " + ops[op] + " (" + b + ")";
        return true;
    }

    std::string bits_check(const std::string& e, float v) {
        char k[16];
        std::snprintf(k, sizeof k, "0x%08XUL", fbits(v));
        return "fbits(" + e + ") != " + k;
    }

    // A walk check over floats of some spelling, compared bit for bit.
    void walk_floats() {
        std::vector<float> vals;
        for (int i = 0; i < 20; ++i) vals.push_back(fvalue());
        walk_check(
            fspelling(), [=](const std::string& e, int i) { return "    " + e + " = " + fliteral(vals[i]) + ";\n"; },
            [=](const std::string& e, int i) { return bits_check(e, vals[i]); });
    }

    void fcheck(int kind, int depth) {
        used.clear();
        std::string e;
        float v;
        if (kind == 0) {  // a value, bit for bit, directly, after a store or through a float parameter
            if (!fexpr(depth, e, v)) return;
            switch (pick(3)) {
            case 0: add("    if (" + bits_check(e, v) + " || sizeof(" + e + ") != 4) " + fail() + "\n", e + " == " + fliteral(v)); break;
            case 1: {
                std::string r = "r" + std::to_string(names++);
                fn->locals += "    " + fspelling() + " " + r + ";\n";
                add("    " + r + " = " + e + ";\n    if (" + bits_check(r, v) + " || " + r + " != " + fliteral(v) + ") " +
                        fail() + "\n",
                    e + " == " + fliteral(v));
                break;
            }
            default:
                if (declared.insert("eqf").second)
                    functions += "static int eqf(float a, double b)\n{\n    return a == b;\n}\n";
                add("    if (!eqf(" + e + ", " + fliteral(v) + ")) " + fail() + "\n", e + " == " + fliteral(v));
                break;
            }
            return;
        }
        if (kind == 1) {  // a condition
            bool c;
            if (!fcond(depth - 1, e, c)) return;
            std::string what = std::string(c ? "" : "!") + "(" + e + ")";
            if (pick(2)) add(c ? "    if (" + e + ") ; else " + fail() + "\n" : "    if (" + e + ") " + fail() + "\n", what);
            else add("    if ((" + e + ") != " + (c ? "1" : "0") + ") " + fail() + "\n", what);
            return;
        }
        if (kind == 2) {  // float to integer, by a cast or an assignment
            if (!fexpr(depth, e, v)) return;
            T t = static_cast<T>(pick(6));
            static const double lo[] = {-32768, 0, -2147483648.0, 0, -128, 0};
            static const double hi[] = {32767, 65535, 2147483647.0, 4294967295.0, 127, 255};
            double tr = std::trunc(static_cast<double>(v));
            int ti = static_cast<int>(t);
            if (tr < lo[ti] || tr > hi[ti]) return;
            std::string k = literal(t, static_cast<int64_t>(tr));
            if (pick(2)) {
                add("    if ((" + std::string(type_name(t)) + ")(" + e + ") != " + k + ") " + fail() + "\n",
                    "(" + std::string(type_name(t)) + ")(" + e + ") == " + k);
            } else {
                std::string target = object(t, value(t), true);
                add("    " + target + " = " + e + ";\n    if (" + target + " != " + k + ") " + fail() + "\n",
                    target + " = " + e + " gives " + k);
            }
            return;
        }
        if (kind == 3 && pick(4) == 0) {  // an integer object with a floating right operand
            T t = static_cast<T>(pick(6));
            int64_t iv = value(t);
            if (!fexpr(depth - 1, e, v)) return;
            int op = pick(4);
            if (op == 3 && v == 0) return;
            float r = fop(op, static_cast<float>(iv), v);
            static const double lo[] = {-32768, 0, -2147483648.0, 0, -128, 0};
            static const double hi[] = {32767, 65535, 2147483647.0, 4294967295.0, 127, 255};
            double tr = std::trunc(static_cast<double>(r));
            int ti = static_cast<int>(t);
            if (!tame(r) || tr < lo[ti] || tr > hi[ti]) return;
            std::string target = object(t, iv, true);
            static const char* ops[] = {"+=", "-=", "*=", "/="};
            std::string k = literal(t, static_cast<int64_t>(tr));
            std::string stmt = target + " " + ops[op] + " (" + e + ")";
            add("    if ((" + stmt + ") != " + k + " || " + target + " != " + k + ") " + fail() + "\n",
                "(" + stmt + ") == " + k);
            return;
        }
        // An assignment operator or a step on a floating object.
        float old = fvalue();
        std::string target = fobject(old, true);
        float now, res;
        std::string stmt;
        if (kind == 3) {
            std::string i;
            bool integer = pick(3) == 0;
            if (integer) e = ileaf(v);
            else if (!fexpr(depth - 1, e, v)) return;
            int op = pick(5);
            if (op == 3 && v == 0) return;
            static const char* ops[] = {"+=", "-=", "*=", "/=", "="};
            now = op == 4 ? v : fop(op, old, v);
            if (!tame(now)) return;
            res = now;
            stmt = target + " " + ops[op] + " " + (integer ? e : "(" + e + ")");
        } else {
            int up = pick(2), pre = pick(2);
            now = fop(up ? 0 : 1, old, 1.0f);
            if (!tame(now)) return;
            stmt = pre ? std::string(up ? "++" : "--") + target : "(" + target + ")" + (up ? "++" : "--");
            res = pre ? now : old;
        }
        add("    if (" + bits_check("(" + stmt + ")", res) + " || " + bits_check(target, now) + ") " + fail() + "\n",
            "(" + stmt + ") == " + fliteral(res) + " && " + target + " == " + fliteral(now));
    }

    std::string program(int count, int depth) {
        std::vector<Function> fns;
        while (static_cast<int>(checks.size()) < count) {
            fns.emplace_back();
            fn = &fns.back();
            for (int i = 0; i < 6 && static_cast<int>(checks.size()) < count; ++i) {
                int k = pick(11);
                if (k == 10) {
                    walk_floats();
                    continue;
                }
                fcheck(k < 3 ? 0 : k < 5 ? 1 : k < 6 ? 2 : k < 8 ? 3 : 4, depth - pick(2));
            }
        }
        std::string t = program_head +
                        "static unsigned long fbits(float f)\n{\n    union { float f; unsigned long u; } x;\n"
                        "    x.f = f;\n    return x.u;\n}\n";
        t += globals + functions;
        // Fixed edges: zeros of both signs, magnitudes near the ends of the range, integers float cannot hold.
        t += "\nstatic void edges(void)\n{\n    float z = 0.0, m = -0.0, big = 3.0e38, small = 2.0e-38;\n"
             "    long l = 16777217L;\n    unsigned long u = 4294967295UL;\n"
             "    if (z != m || !(z == m) || z < m || fbits(m) != 0x80000000UL || fbits(z) != 0) fail(0x7F00);\n"
             "    if (fbits(-z) != 0x80000000UL || fbits(m * m) != 0 || fbits(z - z) != 0) fail(0x7F01);\n"
             "    if (!(big > 1.0e38) || big * 0.5 != 1.5e38 || -big < -3.0e38 - 1.0e37) fail(0x7F02);\n"
             "    if (!(small > 0) || small * 2 != 4.0e-38 || fbits(small / 4) != 0 || (long)(big / 1.0e30) != " +
             std::to_string(static_cast<long>(fop(3, 3.0e38f, 1.0e30f))) + "L) fail(0x7F03);\n"
             "    if ((float)l != 16777216.0 || (long)(float)l != 16777216L || (float)u != 4294967296.0) fail(0x7F04);\n"
             "    if ((unsigned long)(float)(l + 3) != 16777220UL || (int)-0.999 != 0 || (int)-32768.0 != -32768) fail(0x7F05);\n"
             "}\n";
        t += functions_and_main(fns, "    edges();\n");
        fn = nullptr;
        return t;
    }
};

// Runs 'total' checks of generator G in programs of 'per_program' checks,
// starting from 'seed', with and without -O.
template <class G>
void run_programs(int total, unsigned seed, int depth) {
    Tools tools;
    ASSERT_TRUE(tools.start("tcxrand")) << tools.error;

    // ZUN_RAND_OPTS="-g -O,-O" runs other option sets, comma-separated
    std::vector<std::string> option_sets = {"", "-O"};
    if (const char* env = std::getenv("ZUN_RAND_OPTS")) {
        option_sets.clear();
        std::stringstream list(env);
        for (std::string o; std::getline(list, o, ',');) option_sets.push_back(o);
    }
    int per_program = 120;
    int failures = 0;
    bool keep = std::getenv("ZUN_RAND_KEEP") != nullptr;
    for (int done = 0, p = 0; done < total; done += per_program, ++p) {
        G gen(seed + static_cast<unsigned>(p));
        std::string text = gen.program(std::min(per_program, total - done), depth);
        std::ofstream(tools.dir / "prog.c") << text;
        if (keep) std::ofstream(tools.dir / ("prog" + std::to_string(seed + p) + ".c")) << text;
        for (const std::string& option_set : option_sets) {
            const char* opts = option_set.c_str();
            std::string out;
            if (!tools.build_and_run(opts, out)) {
                ADD_FAILURE() << "program " << p << " (seed " << seed + p << "): " << tools.error;
                keep = true;
                std::ofstream(tools.dir / ("prog" + std::to_string(seed + p) + ".c")) << text;
                break;
            }
            std::string problems = gen.access_problems(text, read_whole(tools.dir / "prog.s09"));
            if (!problems.empty()) {
                ++failures;
                ADD_FAILURE() << "seed " << seed + p << " " << (*opts ? opts : "no options")
                              << ": volatile accesses\n" << problems;
                keep = true;
                std::ofstream(tools.dir / ("prog" + std::to_string(seed + p) + ".c")) << text;
            }
            if (out == "ok\n") continue;
            std::istringstream lines(out);
            std::string line;
            int reported = 0;
            while (std::getline(lines, line)) {
                unsigned id = 0;
                if (std::sscanf(line.c_str(), "FAIL %x", &id) == 1 && id < gen.checks.size()) {
                    if (++failures <= 20)
                        ADD_FAILURE() << "seed " << seed + p << " " << (*opts ? opts : "no options") << " check " << id
                                      << ": " << gen.checks[id].what;
                    ++reported;
                }
            }
            if (reported == 0) ADD_FAILURE() << "seed " << seed + p << " " << opts << ": output " << out.substr(0, 500);
            keep = true;
            std::ofstream(tools.dir / ("prog" + std::to_string(seed + p) + ".c")) << text;
        }
        if (keep && failures > 20) break;
    }
    EXPECT_EQ(failures, 0);
    tools.finish(keep);
}

TEST(TcxRandomPrograms, AgreeWithHostModel) {
    run_programs<ProgramGen>(env_int("ZUN_RAND_CHECKS", 360), static_cast<unsigned>(env_int("ZUN_RAND_SEED", 20261209)),
                             env_int("ZUN_RAND_DEPTH", 3));
}

TEST(TcxRandomPrograms, FloatingPointAgreesWithHost) {
    run_programs<FloatGen>(env_int("ZUN_RAND_FCHECKS", 360), static_cast<unsigned>(env_int("ZUN_RAND_SEED", 20261209)),
                           env_int("ZUN_RAND_DEPTH", 3));
}

}  // namespace
}  // namespace zun::tcx::test
