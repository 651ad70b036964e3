// SPDX-License-Identifier: MIT
// The compiler's numbered messages and the operations that print them: the
// diagnostic line, repeat rules, warning-level filter, error limit and the
// internal-error report. Lines go to the unit's standard-error text.
#include "compiler/internal.h"

#include "common/format.h"
#include "common/path.h"

#include <cctype>

namespace zun::tcx {

// Texts are part of the tool's interface (the workbench and users match
// them), spellings included. 0-81 errors, 82-131 warnings, 132-152 driver texts.
const char* const compiler_message[153] = {
    /*   0 */ "Illegal operator on register variable '%s'",
    /*   1 */ "Argument '%s' missing",
    /*   2 */ "Bitfields must have the same size",
    /*   3 */ "Illegal operator on bitfields",
    /*   4 */ "Function body expected",
    /*   5 */ "Break must be used within loop",
    /*   6 */ "Case must be used within switch",
    /*   7 */ "Illegal cast",
    /*   8 */ "Illegal cast on constant",
    /*   9 */ "Unterminated string or character constant",
    /*  10 */ "Constant expression expected",
    /*  11 */ "Floating point constant expected",
    /*  12 */ "Can't use continue here",
    /*  13 */ "Inconsistent parameter count in function %s",
    /*  14 */ "Illegal pointer reference",
    /*  15 */ "Duplicate case '%s'",
    /*  16 */ "Duplicate 'default'",
    /*  17 */ "Duplicate label '%s'",
    /*  18 */ "Enum out of range",
    /*  19 */ "Unexpected end of file",
    /*  20 */ "Expression expected",
    /*  21 */ "Field not allowed here",
    /*  22 */ "Illegal floating-point constant",
    /*  23 */ "Identifier expected",
    /*  24 */ "Illegal cast operation",
    /*  25 */ "Illegal character '%s'",
    /*  26 */ "Illegal storage class",
    /*  27 */ "Illegal initialization",
    /*  28 */ "Illegal 'sizeof' operation",
    /*  29 */ "Illegal character (0x%x)",
    /*  30 */ "incomplete struct/union/enum declaration",
    /*  31 */ "Too many initializers",
    /*  32 */ "Integer-valued type expected",
    /*  33 */ "Illegal constant integer expression",
    /*  34 */ "'%s' cannot be used as a label here",
    /*  35 */ "Lvalue required",
    /*  36 */ "Type mismatch",
    /*  37 */ "Cannot nest function definition '%s()'",
    /*  38 */ "Function type expected",
    /*  39 */ "Illegal initialization",
    /*  40 */ "struct/union member expected",
    /*  41 */ "Pointer type expected",
    /*  42 */ "Illegal parameter list",
    /*  43 */ "Wrong size for parameter %d of function %s",
    /*  44 */ "Unknown '#'-directive",
    /*  45 */ "Function declaration differs from prototype",
    /*  46 */ "Unexpected symbol '%s' found",
    /*  47 */ "Illegal redeclaration of '%s'",
    /*  48 */ "Unknown type/operand size",
    /*  49 */ "Static function '%s' is not defined",
    /*  50 */ "Unterminated string constant",
    /*  51 */ "Syntax error",
    /*  52 */ "Undefined identifier '%s'",
    /*  53 */ "Undefined label '%s'",
    /*  54 */ "Void function cannot return value",
    /*  55 */ "Void parameter to function %s",
    /*  56 */ "Void is illegal with all types",
    /*  57 */ "return expression of type void",
    /*  58 */ "'while' expected in do-loop",
    /*  59 */ "Illegal field width",
    /*  60 */ "Extra characters on line",
    /*  61 */ "'{' expected",
    /*  62 */ "'}' expected",
    /*  63 */ "No Files Available",
    /*  64 */ "To long parameter list",
    /*  65 */ "Non standard keyword not allowed",
    /*  66 */ "Illegal assignment to unsized array",
    /*  67 */ "Assignment to extern constant",
    /*  68 */ "Interrupt function can't have parameter(s)",
    /*  69 */ "Interrupt function return value must be void",
    /*  70 */ "Call to '%s' from far function cannot be implicitly declared",
    /*  71 */ "No such intrisic function",
    /*  72 */ "Intrinsic function parameter list mismatch",
    /*  73 */ "'asm'-parameter mismatch",
    /*  74 */ "',' expected",
    /*  75 */ "",
    /*  76 */ "Code Generator: Soft register stack exhausted, please simplify expression",
    /*  77 */ "Illegal operation for struct/union",
    /*  78 */ "Constant '%s' requires initialisation",
    /*  79 */ "l-value is declared constant",
    /*  80 */ "Type mismatch",
    /*  81 */ "Unexpected end of file in comment started at line %d",
    /*  82 */ "Cast may have changed constant",
    /*  83 */ "Cast may have lost accuracy",
    /*  84 */ "Possibly incorrect assignment",
    /*  85 */ "Return value from '%s' discarded",
    /*  86 */ "Return value is discarded",
    /*  87 */ "Condition is always true",
    /*  88 */ "Condition is always false",
    /*  89 */ "Zero-sized typedef may be changed by initializations",
    /*  90 */ "& operator on array ignored",
    /*  91 */ "& operator on function ignored",
    /*  92 */ "Empty statment",
    /*  93 */ "Argument '%s' implicitly declared 'int'",
    /*  94 */ "Function '%s' implicitly declared 'int'",
    /*  95 */ "Incomplete initialization",
    /*  96 */ "Use of '%s' is ANSI",
    /*  97 */ "Variable '%s' not used",
    /*  98 */ "Function '%s' not used",
    /*  99 */ "Parameter '%s' not used",
    /* 100 */ "Expression for symbol '%s' is spilled",
    /* 101 */ "Bitfields are unsigned",
    /* 102 */ "Escape ignored in sequence '\\%s'",
    /* 103 */ "Type mismatch in parameter %d to function '%s'",
    /* 104 */ "Conversion between incompatible pointer types",
    /* 105 */ "Pointer offset cast to 16-bits",
    /* 106 */ "Cast from short to pointer",
    /* 107 */ "No value specified in 'return' statement",
    /* 108 */ "symbol '%s' has both const and volatile qualifiers",
    /* 109 */ "Redefinition of '%s' hides earlier declaration",
    /* 110 */ "Auto initialisation not reached",
    /* 111 */ "\\x not followed by hex character",
    /* 112 */ "Redefinition of '%s'",
    /* 113 */ "'sizeof' value is zero",
    /* 114 */ "'sizeof' value is greater than '65535'",
    /* 115 */ "Conversion between incompatible types",
    /* 116 */ "Attempt to allocate zero storage",
    /* 117 */ "Function '%s' should return a value",
    /* 118 */ "Unary minus operator applied to unsigned type",
    /* 119 */ "array bound of '%s' overflow",
    /* 120 */ "Bit field implicitly converted to 'int'",
    /* 121 */ "didn't copy local struct/union in save_type",
    /* 122 */ "unrecognised #pragma ignored",
    /* 123 */ "'near' or 'far' segment names are not allowed, pragma ignored",
    /* 124 */ "illegal segment name, pragma ignored",
    /* 125 */ "shift count is negated",
    /* 126 */ "Integer constant modified (%08lx->%08lx)",
    /* 127 */ "Division by zero constant",
    /* 128 */ "Illegal constant operation  %s",
    /* 129 */ "Shift constant < 0",
    /* 130 */ "Shift constant out of range",
    /* 131 */ "Removed dead code",
    /* 132 */ "\n\n*** argument symbol table ***\n",
    /* 133 */ "Error: ",
    /* 134 */ "\n -- %d errors found",
    /* 135 */ "Too many parameters supplied",
    /* 136 */ "Fatal error:%s, can't recover",
    /* 137 */ "Can't open input file '%s'",
    /* 138 */ "\n\n*** label symbol table ***\n",
    /* 139 */ "Can't open listing file '%s'",
    /* 140 */ "Memory exhausted",
    /* 141 */ "\n*** local structures and unions ***\n",
    /* 142 */ "\n*** local symbol table ***\n",
    /* 143 */ "\n\nProgram terminated due to maximum error count",
    /* 144 */ "Maximum memory request was %2d Kbytes",
    /* 145 */ " ",
    /* 146 */ "Memory exhausted",
    /* 147 */ "Can't open output file '%s'",
    /* 148 */ "INCONSISTENCY: PEEP LABEL (FATAL?)",
    /* 149 */ " ",
    /* 150 */ "Unknown option '%s', ignored",
    /* 151 */ "Warning: ",
    /* 152 */ "\"%s\", line %d: ",
};

namespace {

// Lowest message number printed at each warning level 0..5; level 6 prints all.
constexpr int warning_threshold[7] = {132, 119, 109, 102, 89, 84, 82};

bool is_warning(int number) { return number >= 82 && number <= 131; }
bool is_error_number(int number) { return number < 82; }

// Fills the placeholders of a message text; every placeholder takes the
// same one argument text in turn (callers pre-format numbers).
std::string fill(const char* text, const std::vector<std::string>& args) {
    std::string out;
    size_t next = 0;
    for (const char* p = text; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        while (*p && !std::isalpha(static_cast<unsigned char>(*p)) && *p != '%') ++p;
        while (*p == 'l') ++p;
        if (*p == '%') {
            out += '%';
        } else if (*p) {
            if (next < args.size()) out += args[next++];
        } else {
            break;
        }
    }
    return out;
}

// The head of a message line naming the current file; none while no file
// is named (a message about the command line).
std::string message_place(const TranslationUnit& tu, int line) {
    if (tu.file_name == " ") return {};
    return format("\"%s\" (%d) ", canon_name(tu, tu.file_name).c_str(), line);
}

void print_line(TranslationUnit& tu, int line, int number, const std::string& text) {
    const char* severity = is_warning(number) ? "Warning" : "Error";
    tu.err += message_place(tu, line) + format("%s: %s\n", severity, text.c_str());
    if (is_warning(number))
        ++tu.warnings;
    else
        ++tu.errors;
    tu.last_line = line;
}

bool filtered(const TranslationUnit& tu, int number) {
    int level = tu.options.warning_level;
    return number >= 82 && level < 6 && number < warning_threshold[level];
}

void check_limit(TranslationUnit& tu, int line, int number) {
    if (is_error_number(number) && tu.errors >= tu.error_limit) {
        print_line(tu, line, 143, compiler_message[143]);
        throw Fatal{tu.error_limit};
    }
}

enum class Rule { Report, Str, Str2, Formatted };

bool is_repeat(const TranslationUnit& tu, Rule rule, int line, int number) {
    switch (rule) {
    case Rule::Report: return line == tu.last_line && number == tu.last_error;
    case Rule::Str: return !is_warning(number) && line != 0 && line == tu.last_line;
    case Rule::Str2: return line == tu.last_line;
    case Rule::Formatted: return line != 0 && line == tu.last_line;
    }
    return false;
}

// The shared path of every reporting operation but report_at.
void emit(TranslationUnit& tu, Rule rule, int number, const std::string& text) {
    int line = tu.scan.tok_line;
    if (is_repeat(tu, rule, line, number)) {
        // Error recovery may keep failing on the last token; stop rather than loop.
        if (tu.scan.tok == Tok::Eof) {
            bool stop = rule == Rule::Report ? !is_warning(number)
                        : rule == Rule::Str2 ? false
                                             : tu.errors != 0;
            if (stop && tu.decl.in_body) {
                // the input ended inside a function body: that run ends with 1
                if (number != 19) report(tu, 19);
                throw Fatal{1};
            }
            if (stop) throw Fatal{tu.errors};
        }
        return;
    }
    if (filtered(tu, number)) return;
    print_line(tu, line, number, text);
    if (rule == Rule::Report) tu.last_error = is_warning(number) ? 0 : number;
    if (is_error_number(number) && tu.errors >= tu.error_limit) {
        print_line(tu, line, 143, compiler_message[143]);
        throw Fatal{tu.error_limit};
    }
}

}  // namespace

void report(TranslationUnit& tu, int number) {
    emit(tu, Rule::Report, number, compiler_message[number]);
}

void report_at(TranslationUnit& tu, int line, int number, const std::string& arg) {
    int at = line > 0 ? line : tu.scan.tok_line;
    check_limit(tu, at, number);
    print_line(tu, at, number, fill(compiler_message[number], {arg}));
    tu.last_error = is_warning(number) ? 0 : number;
}

void report_str(TranslationUnit& tu, int number, const std::string& text) {
    emit(tu, Rule::Str, number, fill(compiler_message[number], {text}));
}

void report_str2(TranslationUnit& tu, int number, const std::string& a, const std::string& b) {
    emit(tu, Rule::Str2, number, fill(compiler_message[number], {a, b}));
}

void reportf(TranslationUnit& tu, int number, const std::string& text) {
    emit(tu, Rule::Formatted, number, fill(compiler_message[number], {text}));
}

void report_text(TranslationUnit& tu, int line, const std::string& text, bool is_warning) {
    if (!is_warning) check_limit(tu, line, 0);
    print_line(tu, line, is_warning ? 82 : 0, text);
}

void internal_error(TranslationUnit& tu, int code) {
    std::string line = format("Internal Error (CI %d) before line %d\n", code, tu.scan.line_no);
    if (tu.options.files.size() >= 2)
        tu.console += line;
    else
        out_raw(tu, line);
    // A benign overflow of the debug tables must not fail the build.
    if (code != 888) ++tu.errors;
}

void code_generator_fault(TranslationUnit& tu, int code, int line) {
    if (line <= 0) line = tu.scan.line_no;
    report_text(tu, line, format("Internal Error (CI %d) before line %d", code, line));
}

std::string error_line(const TranslationUnit& tu, int line, const std::string& text) {
    return message_place(tu, line) + "Error: " + text + "\n";
}

std::string canon_name(const TranslationUnit& tu, const std::string& name) {
    std::string full = name;
    bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\');
    bool drive = name.size() > 1 && name[1] == ':';
    if (!absolute && !drive) full = tu.working_dir + "/" + name;
    std::string out = path_canonicalize(path_collapse_seps(full));
    path_to_slashes(out);
    return out;
}

std::string canon_quoted_name(const TranslationUnit& tu, const std::string& name) {
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        return format("\"%s\"", canon_name(tu, name.substr(1, name.size() - 2)).c_str());
    return canon_name(tu, name);
}

}  // namespace zun::tcx
