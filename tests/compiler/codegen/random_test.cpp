// Random expressions of the host model compiled as whole programs: the
// leaves are objects of every integer type (globals, locals, statics,
// registers, parameters, structure members, array elements, objects reached
// through pointers) set at run time, so the code generator rather than the
// folder computes them. Each program checks values, conditions, assignment
// operators and increments against the model's constants and prints the
// number of every failing check to ACIA 1. It runs with and without -O.
// ZUN_RAND_CHECKS=N runs N checks instead of the short CI set, and
// ZUN_RAND_SEED=S starts from another seed, ZUN_RAND_DEPTH=D nests deeper,
// ZUN_RAND_KEEP=1 keeps the programs.
#include "tests/compiler/expr_model.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

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
        switch (pick(lvalue ? 9 : 10)) {
        case 9: {  // the result of a call
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

    // One check of the kind k into the current function.
    void check(int kind, int depth) {
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
                int k = pick(8);
                check(k < 3 ? 0 : k < 5 ? 1 : k < 7 ? 2 : 3, depth - pick(2));
            }
        }
        std::string t = "/* generated */\nvoid init_io(void);\nvoid put_str(char *s);\nvoid put_hex(unsigned v);\n"
                        "static int failed;\nstatic void fail(int id)\n{\n    put_str(\"FAIL \");\n"
                        "    put_hex(id);\n    put_str(\"\\n\");\n    ++failed;\n}\n";
        t += globals + functions;
        for (size_t i = 0; i < fns.size(); ++i) {
            Function& f = fns[i];
            t += "\nstatic void f" + std::to_string(i) + "(";
            for (size_t p = 0; p < f.params.size(); ++p) t += (p ? ", " : "") + f.params[p];
            t += f.params.empty() ? "void)\n{\n" : ")\n{\n";
            t += "    int n;\n" + f.locals + f.inits + f.body + "}\n";
        }
        t += "\nint main(void)\n{\n    init_io();\n";
        for (size_t i = 0; i < fns.size(); ++i) {
            t += "    f" + std::to_string(i) + "(";
            for (size_t a = 0; a < fns[i].args.size(); ++a) t += (a ? ", " : "") + fns[i].args[a];
            t += ");\n";
        }
        t += "    if (failed == 0)\n        put_str(\"ok\\n\");\n    return failed;\n}\n";
        fn = nullptr;
        return t;
    }
};

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

int env_int(const char* name, int otherwise) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : otherwise;
}

struct Tools {
    fs::path bin, stage, dir;
    std::string error;

    bool run(const std::string& command) {
        std::string full = "cd '" + dir.string() + "' && " + command + " >log 2>&1";
        if (std::system(full.c_str()) == 0) return true;
        error = command + ":\n" + read_file(dir / "log").substr(0, 3000);
        return false;
    }

    // Compiles prog.c with opts beside support.c, links and runs it; returns what it printed.
    bool build_and_run(const std::string& opts, std::string& out) {
        std::string b = "'" + bin.string() + "/";
        for (const char* f : {"support", "prog"}) {
            std::string src = std::string(f) == "support" ? std::string(TCX_PROGRAMS_DIR) + "/support.c" : "prog.c";
            if (!run(b + "tcx09' " + opts + " '" + src + "' " + f + ".s09")) return false;
            std::string s = read_file(dir / (std::string(f) + ".s09"));
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
        out = read_file(dir / "out.txt");
        return true;
    }
};

TEST(TcxRandomPrograms, AgreeWithHostModel) {
    const char* stage_env = std::getenv("ZUN_STAGE");
    Tools tools;
    tools.stage = stage_env ? stage_env : "build/stage";
    tools.bin = tools.stage / "bin";
    std::string dir_template = (fs::temp_directory_path() / "tcxrandXXXXXX").string();
    ASSERT_TRUE(mkdtemp(dir_template.data()));
    tools.dir = dir_template;
    ASSERT_TRUE(tools.run("'" + tools.bin.string() + "/hasm09' -o startup.o09 '" +
                          (tools.stage / "src/startup/zun09/_startup.s09").string() + "'"))
        << tools.error;

    int total = env_int("ZUN_RAND_CHECKS", 360);
    unsigned seed = static_cast<unsigned>(env_int("ZUN_RAND_SEED", 20261209));
    int per_program = 120;
    int depth = env_int("ZUN_RAND_DEPTH", 3);
    int failures = 0;
    bool keep = std::getenv("ZUN_RAND_KEEP") != nullptr;
    for (int done = 0, p = 0; done < total; done += per_program, ++p) {
        ProgramGen gen(seed + static_cast<unsigned>(p));
        std::string text = gen.program(std::min(per_program, total - done), depth);
        std::ofstream(tools.dir / "prog.c") << text;
        if (keep) std::ofstream(tools.dir / ("prog" + std::to_string(seed + p) + ".c")) << text;
        for (const char* opts : {"", "-O"}) {
            std::string out;
            if (!tools.build_and_run(opts, out)) {
                ADD_FAILURE() << "program " << p << " (seed " << seed + p << "): " << tools.error;
                keep = true;
                break;
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
    if (keep) {
        std::cout << "programs kept in " << tools.dir.string() << "\n";
    } else {
        std::error_code ec;
        fs::remove_all(tools.dir, ec);
    }
}

}  // namespace
}  // namespace zun::tcx::test
