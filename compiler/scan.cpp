// SPDX-License-Identifier: MIT
// The scanner: preprocessed C text in, one token of lookahead out. It also
// eats the line and pragma directives the preprocessor leaves behind and
// keeps the store of source lines that the output echoes as comments.
#include "compiler/internal.h"

#include "common/exit_code.h"
#include "common/format.h"
#include "common/line_reader.h"
#include "common/path.h"

#include <array>
#include <cctype>
#include <cmath>

namespace zun::tcx {

namespace {

struct Keyword {
    const char* name;
    Tok tok;
};

// Searched in this order; the order matters only for speed.
constexpr std::array<Keyword, 38> keywords = {{
    {"__asm", Tok::Asm},         {"__interrupt", Tok::Interrupt}, {"__nomangle", Tok::Nomangle},
    {"__pascal", Tok::Pascal},   {"restrict", Tok::Restrict},     {"inline", Tok::Inline},
    {"int", Tok::Int},           {"char", Tok::Char},             {"long", Tok::Long},
    {"float", Tok::Float},       {"double", Tok::Double},         {"return", Tok::Return},
    {"struct", Tok::Struct},     {"union", Tok::Union},           {"typedef", Tok::Typedef},
    {"enum", Tok::Enum},         {"static", Tok::Static},         {"auto", Tok::Auto},
    {"sizeof", Tok::Sizeof},     {"do", Tok::Do},                 {"if", Tok::If},
    {"else", Tok::Else},         {"for", Tok::For},               {"switch", Tok::Switch},
    {"while", Tok::While},       {"short", Tok::Short},           {"extern", Tok::Extern},
    {"case", Tok::Case},         {"goto", Tok::Goto},             {"default", Tok::Default},
    {"register", Tok::Register}, {"unsigned", Tok::Unsigned},     {"break", Tok::Break},
    {"continue", Tok::Continue}, {"void", Tok::Void},             {"signed", Tok::Signed},
    {"const", Tok::Const},       {"volatile", Tok::Volatile},
}};

// Flags of an integer constant: how it was written and what the target's int is.
enum : unsigned { OctHex = 1, USuffix = 2, LSuffix = 4, Int16 = 8 };

struct IntTypeRow {
    uint32_t lowest;
    unsigned required;
    Tok tok;
};

// First row whose flags are present and whose lowest value is reached wins.
constexpr std::array<IntTypeRow, 10> int_type_table = {{
    {0, USuffix | LSuffix, Tok::ULongConst},
    {0x80000000u, 0, Tok::ULongConst},
    {65536, USuffix, Tok::ULongConst},
    {0, LSuffix, Tok::LongConst},
    {65536, 0, Tok::LongConst},
    {0, USuffix | Int16, Tok::UIntConst},
    {32768, OctHex | Int16, Tok::UIntConst},
    {32768, 0, Tok::LongConst},
    {0, Int16, Tok::IntConst},
    {0, 0, Tok::LongConst},
}};

constexpr size_t kMaxStringLiteral = 1024;

bool is_ident_char(int c) {
    return c >= 0 && c < 128 && (std::isalnum(c) || c == '_' || c == '$');
}

void split_lines(std::string_view text, std::vector<std::string_view>& out) {
    size_t pos = 0;
    std::string_view line;
    while (next_line(text, pos, line)) out.push_back(line);
}

// ---- source-line store ----

SourceFile* find_source(TranslationUnit& tu, const std::string& name) {
    for (auto& f : tu.scan.files)
        if (f.name == name) return &f;
    return nullptr;
}

// ---- directives ----

void skip_blanks_in_line(Scanner& s) {
    while (s.line_pos < s.line.size() && (s.line[s.line_pos] == ' ' || s.line[s.line_pos] == '\t'))
        ++s.line_pos;
}

std::string read_word(Scanner& s) {
    std::string w;
    while (s.line_pos < s.line.size() && is_ident_char(static_cast<unsigned char>(s.line[s.line_pos]))) {
        if (w.size() < 128) w += s.line[s.line_pos];
        ++s.line_pos;
    }
    return w;
}

bool iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

struct PragmaKind {
    const char* words[3];
    SegKind seg;
    const char* default_name;
};

constexpr std::array<PragmaKind, 4> pragma_kinds = {{
    {{"TEXT", "CODE_SEG", "CODE_SECTION"}, SegKind::Code, "text"},
    {{"DATA", "DATA_SEG", "DATA_SECTION"}, SegKind::Data, "data"},
    {{"CDATA", "CONST_SEG", "CONST_SECTION"}, SegKind::Const, "rodata"},
    {{"BSS", "STRING_SEG", "STRING_SECTION"}, SegKind::Bss, "bss"},
}};

void segment_pragma(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    std::string kind = read_word(s);
    skip_blanks_in_line(s);
    std::string name = read_word(s);
    for (const auto& k : pragma_kinds) {
        bool match = false;
        for (const char* w : k.words) match = match || iequal(kind, w);
        if (!match) continue;
        if (iequal(name, "near") || iequal(name, "far")) {
            report(tu, 123);
        } else if (name.empty()) {
            report(tu, 124);
        } else {
            if (iequal(name, "default")) name = k.default_name;
            tu.out.seg_name[static_cast<int>(k.seg)] = name.substr(0, 127);
        }
        return;
    }
    report(tu, 122);
}

void line_directive(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    long n = 0;
    while (s.line_pos < s.line.size() && std::isdigit(static_cast<unsigned char>(s.line[s.line_pos]))) {
        n = n * 10 + (s.line[s.line_pos] - '0');
        if (n > 100000000) n = 100000000;
        ++s.line_pos;
    }
    s.line_no = static_cast<int>(n) - 1;
    skip_blanks_in_line(s);
    if (s.line_pos >= s.line.size() || s.line[s.line_pos] != '"') return;
    size_t start = ++s.line_pos;
    size_t end = s.line.find('"', start);
    if (end == std::string::npos) end = s.line.find('\n', start);
    if (end == std::string::npos) end = s.line.size();
    std::string name = s.line.substr(start, end - start);
    if (name.empty()) return;
    std::string canon = canon_name(tu, name);
    if (canon.size() >= 512 || canon == tu.file_name) return;
    if (!s.file_line_written) {
        s.file_line_written = true;
        file_line(tu, canon);
    }
    open_source_file(tu, canon);
    tu.file_name = canon;
}

// Handles a line that begins with '#'; the caller reads the next line.
void directive(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    ++s.line_pos;
    skip_blanks_in_line(s);
    if (s.line_pos < s.line.size() && std::isdigit(static_cast<unsigned char>(s.line[s.line_pos]))) {
        line_directive(tu);
        return;
    }
    std::string word = read_word(s);
    if (word == "pragma") {
        ++s.line_no;
        s.tok_line = s.line_no;
        if (tu.decl.in_body) {
            report(tu, 44);
            return;
        }
        skip_blanks_in_line(s);
        segment_pragma(tu);
    } else if (word == "line") {
        skip_blanks_in_line(s);
        if (s.line_pos < s.line.size() && std::isdigit(static_cast<unsigned char>(s.line[s.line_pos])))
            line_directive(tu);
        else
            report_at(tu, s.line_no + 1, 44);
    } else {
        ++s.line_no;
        report_at(tu, s.line_no, 44);
    }
}

// Reads the next input line that is not a directive; false at end of input.
bool read_source_line(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    for (;;) {
        if (s.next_input_line >= s.input_lines.size()) return false;
        s.line.assign(s.input_lines[s.next_input_line++]);
        s.line += '\n';
        s.line_pos = 0;
        ++s.physical_lines;
        s.column = 0;
        size_t i = 0;
        while (i < s.line.size() && static_cast<unsigned char>(s.line[i]) < '!') ++i;
        if (i >= s.line.size() || s.line[i] != '#') {
            ++s.line_no;
            return true;
        }
        s.line_pos = i;
        directive(tu);
    }
}

// ---- characters ----

void next_char(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    for (;;) {
        if (s.ch < 0) return;
        if (s.line_pos >= s.line.size()) {
            if (!read_source_line(tu)) {
                s.ch = -1;
                return;
            }
            continue;
        }
        int c = static_cast<unsigned char>(s.line[s.line_pos++]);
        ++s.column;
        if (c & 0x80) {
            if (s.quiet == 0) report_at(tu, s.line_no, 25, format("0x%2.2X", c));
            continue;
        }
        s.ch = c;
        return;
    }
}

// Appends the lookahead to the token text and reads the next character.
void take(TranslationUnit& tu) {
    if (tu.scan.ch >= 0) tu.scan.text += static_cast<char>(tu.scan.ch);
    next_char(tu);
}

Pos here(const Scanner& s) { return Pos{s.line_no, s.column > 0 ? s.column - 1 : 0}; }

int hex_value(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The character after a backslash; -1 when the escape vanished (backslash-newline).
int escape(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    take(tu);  // the backslash
    int c = s.ch;
    if (c >= '0' && c <= '7') {
        int v = 0;
        for (int i = 0; i < 3 && s.ch >= '0' && s.ch <= '7'; ++i) {
            v = v * 8 + (s.ch - '0');
            take(tu);
        }
        return v & 0xFF;
    }
    if (c == 'x') {
        take(tu);
        int v = 0, n = 0;
        for (; n < 2 && hex_value(s.ch) >= 0; ++n) {
            v = v * 16 + hex_value(s.ch);
            take(tu);
        }
        if (n == 0) report(tu, 111);
        return v;
    }
    if (c == '\n') {
        take(tu);
        return -1;
    }
    if (c < 0) return 0;
    take(tu);
    switch (c) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    case '"': case '\'': case '\\': return c;
    default: break;
    }
    report_str(tu, 102, std::string(1, static_cast<char>(c)));
    return c;
}

void scan_string(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    s.str.clear();
    for (;;) {
        take(tu);  // the opening quote
        while (s.ch != '"') {
            if (s.ch == '\n' || s.ch < 0) {
                report(tu, 50);
                break;
            }
            if (s.ch == '\\') {
                int v = escape(tu);
                if (v >= 0) s.str += static_cast<char>(v);
            } else {
                s.str += static_cast<char>(s.ch);
                take(tu);
            }
        }
        if (s.ch == '"') take(tu);
        while (s.ch == ' ' || s.ch == '\t' || s.ch == '\n') next_char(tu);
        if (s.ch != '"') break;
    }
    s.tok = Tok::String;
    // The assembler text writes a literal in one piece of at most this size.
    if (s.str.size() > kMaxStringLiteral) {
        report_text(tu, s.tok_line, format("String literal longer than the limit of %zu bytes", kMaxStringLiteral));
        s.str.resize(kMaxStringLiteral);
    }
}

void scan_char_constant(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    take(tu);
    int v = 0;
    if (s.ch == '\\') {
        v = escape(tu);
        if (v < 0) v = 0;
    } else if (s.ch >= 0 && s.ch != '\n') {
        v = s.ch;
        take(tu);
    }
    if (s.ch == '\'')
        take(tu);
    else
        report(tu, 9);
    s.ival = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(v)));
    s.tok = Tok::IntConst;
}

void scan_float_tail(TranslationUnit& tu, long double value) {
    Scanner& s = tu.scan;
    if (s.ch == '.') {
        take(tu);
        long double scale = 10;
        while (s.ch >= '0' && s.ch <= '9') {
            value += (s.ch - '0') / scale;
            scale *= 10;
            take(tu);
        }
    }
    if (s.ch == 'e' || s.ch == 'E') {
        take(tu);
        bool negative = false;
        if (s.ch == '+' || s.ch == '-') {
            negative = s.ch == '-';
            take(tu);
        }
        long exp = 0;
        while (s.ch >= '0' && s.ch <= '9') {
            if (exp < 100000) exp = exp * 10 + (s.ch - '0');
            take(tu);
        }
        if (exp >= 1500) {
            report(tu, 22);
        } else {
            for (long i = 0; i < exp; ++i) value = negative ? value / 10 : value * 10;
        }
    }
    if (s.ch == 'f' || s.ch == 'F' || s.ch == 'l' || s.ch == 'L') take(tu);
    s.fval = static_cast<double>(value);
    s.tok = Tok::FloatConst;
}

void scan_number(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    uint32_t v = 0;
    unsigned flags = Int16;
    if (s.ch == '0') {
        take(tu);
        if (s.ch == 'x' || s.ch == 'X') {
            take(tu);
            flags |= OctHex;
            while (hex_value(s.ch) >= 0) {
                v = v * 16 + static_cast<uint32_t>(hex_value(s.ch));
                take(tu);
            }
        } else if (s.ch != '.' && s.ch != 'e' && s.ch != 'E') {
            flags |= OctHex;
            while (s.ch >= '0' && s.ch <= '7') {
                v = v * 8 + static_cast<uint32_t>(s.ch - '0');
                take(tu);
            }
        }
    }
    if (!(flags & OctHex)) {
        long double f = v;
        while (s.ch >= '0' && s.ch <= '9') {
            v = v * 10 + static_cast<uint32_t>(s.ch - '0');
            f = f * 10 + (s.ch - '0');
            take(tu);
        }
        if (s.ch == '.' || s.ch == 'e' || s.ch == 'E') {
            scan_float_tail(tu, f);
            return;
        }
    }
    for (;;) {
        if ((s.ch == 'u' || s.ch == 'U') && !(flags & USuffix)) {
            flags |= USuffix;
        } else if ((s.ch == 'l' || s.ch == 'L') && !(flags & LSuffix)) {
            flags |= LSuffix;
        } else {
            break;
        }
        take(tu);
    }
    s.ival = v;
    for (const auto& row : int_type_table) {
        if ((flags & row.required) == row.required && row.lowest <= v) {
            s.tok = row.tok;
            return;
        }
    }
}

void scan_comment(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    int start_line = s.line_no;
    ++s.quiet;
    next_char(tu);  // past '/'
    next_char(tu);  // past '*'
    int prev = 0;
    while (s.ch >= 0 && !(prev == '*' && s.ch == '/')) {
        prev = s.ch;
        next_char(tu);
    }
    --s.quiet;
    if (s.ch < 0) {
        report_at(tu, start_line, 81, std::to_string(start_line));
        return;
    }
    next_char(tu);
}

struct Operator {
    const char* text;
    Tok tok;
};

// Longest first within each leading character.
constexpr std::array<Operator, 46> operators = {{
    {"!=", Tok::Ne},        {"%=", Tok::ModAssign}, {"&&", Tok::AndAnd},   {"&=", Tok::AndAssign},
    {"*=", Tok::MulAssign}, {"++", Tok::Inc},       {"+=", Tok::AddAssign}, {"--", Tok::Dec},
    {"-=", Tok::SubAssign}, {"->", Tok::Arrow},     {"/=", Tok::DivAssign}, {"<<=", Tok::ShlAssign},
    {"<=", Tok::Le},        {"<<", Tok::Shl},       {"==", Tok::Eq},        {">>=", Tok::ShrAssign},
    {">=", Tok::Ge},        {">>", Tok::Shr},       {"^=", Tok::XorAssign}, {"||", Tok::OrOr},
    {"|=", Tok::OrAssign},  {"+", Tok::Plus},       {"-", Tok::Minus},      {"/", Tok::Slash},
    {"%", Tok::Percent},    {"<", Tok::Lt},         {">", Tok::Gt},         {"=", Tok::Assign},
    {"?", Tok::Question},   {"~", Tok::Tilde},      {",", Tok::Comma},      {":", Tok::Colon},
    {";", Tok::Semicolon},  {"^", Tok::Caret},      {"[", Tok::LBracket},   {"]", Tok::RBracket},
    {"{", Tok::LBrace},     {"}", Tok::RBrace},     {")", Tok::RParen},     {".", Tok::Dot},
    {"!", Tok::Not},        {"|", Tok::Or},         {"&", Tok::And},        {"*", Tok::Star},
    {"(", Tok::LParen},     {"", Tok::Eof},
}};

// Reads an operator starting at the lookahead; false when none starts there.
bool scan_operator(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    std::string_view rest(s.line);
    rest = rest.substr(s.line_pos > 0 ? s.line_pos - 1 : 0);
    for (const auto& op : operators) {
        std::string_view t(op.text);
        if (t.empty() || rest.substr(0, t.size()) != t) continue;
        Pos p = here(s);
        for (size_t i = 0; i < t.size(); ++i) take(tu);
        s.tok = op.tok;
        if (op.tok == Tok::LBrace) s.last_lbrace = p;
        if (op.tok == Tok::RBrace) s.last_rbrace = p;
        if (op.tok == Tok::RParen) s.last_rparen = p;
        if (op.tok == Tok::Semicolon) s.last_semicolon = p;
        return true;
    }
    return false;
}

}  // namespace

void open_source_file(TranslationUnit& tu, const std::string& name) {
    if (name.empty()) return;
    if (SourceFile* f = find_source(tu, name)) {
        tu.scan.current_file = f;
        return;
    }
    std::string path = name;
    if (path[0] == '.') path = tu.working_dir + "/" + path;
    std::optional<std::string> text = tu.read_file(path);
    if (!text) {
        // the message is about the file that cannot be read
        tu.file_name = name;
        report_str(tu, 137, name);
        throw Fatal{2};
    }
    SourceFile& f = tu.scan.files.emplace_back();
    f.name = name;
    f.text = std::move(*text);
    std::vector<std::string_view> lines;
    split_lines(f.text, lines);
    f.lines.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) f.lines.push_back(SourceLine{lines[i], static_cast<int>(i + 1), false});
    tu.scan.current_file = &f;
}

void scan_init(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    s = Scanner{};
    s.ch = ' ';
    split_lines(tu.input_text, s.input_lines);
    // A file without line ends (a binary file) is no C source: it ends here
    // instead of being scanned as one line of megabytes.
    for (size_t i = 0; i < s.input_lines.size(); ++i) {
        if (s.input_lines[i].size() <= kMaxTextLine) continue;
        report_text(tu, static_cast<int>(i + 1), format("Line longer than the limit of %zu characters", kMaxTextLine));
        throw Fatal{exit_code_for_errors(tu.errors)};
    }
    open_source_file(tu, tu.file_name);
}

void scan_token(TranslationUnit& tu) {
    Scanner& s = tu.scan;
    for (;;) {
        s.text.clear();
        while (s.ch == ' ' || s.ch == '\t' || s.ch == '\n') next_char(tu);
        s.tok_start = here(s);
        s.tok_line = s.line_no;
        if (s.ch < 0) {
            s.tok = Tok::Eof;
            break;
        }
        int c = s.ch;
        if (c >= '0' && c <= '9') {
            scan_number(tu);
        } else if (std::isalpha(c) || c == '_' || c == '$') {
            while (is_ident_char(s.ch)) take(tu);
            s.tok = Tok::Ident;
            for (const auto& k : keywords)
                if (s.text == k.name) s.tok = k.tok;
        } else if (c == '"') {
            scan_string(tu);
        } else if (c == '\'') {
            scan_char_constant(tu);
        } else if (c == '/' && s.line_pos < s.line.size() && s.line[s.line_pos] == '*') {
            scan_comment(tu);
            continue;
        } else if (c == '.' && s.line_pos < s.line.size() &&
                   std::isdigit(static_cast<unsigned char>(s.line[s.line_pos]))) {
            scan_float_tail(tu, 0);
        } else if (!scan_operator(tu)) {
            std::string shown = std::isprint(c) ? std::string(1, static_cast<char>(c)) : format("0x%2.2X", c);
            report_str(tu, 25, shown);
            next_char(tu);
            continue;
        }
        break;
    }
    s.tok_end = here(s);
    s.tok_line = s.tok == Tok::Eof ? s.line_no : s.tok_line;
}

void expect(TranslationUnit& tu, Tok t) {
    if (tu.scan.tok == t) {
        scan_token(tu);
        return;
    }
    if (tu.scan.tok == Tok::Eof) {
        report(tu, 19);
        throw Fatal{1};
    }
    report_str(tu, 46, token_text(tu));
}

std::string token_text(const TranslationUnit& tu) { return tu.scan.text; }

void skip_space(TranslationUnit& tu) {
    while (tu.scan.ch == ' ' || tu.scan.ch == '\t' || tu.scan.ch == '\n') next_char(tu);
}

Pos current_pos(const TranslationUnit& tu) { return here(tu.scan); }

bool find_char(TranslationUnit& tu, char c, Pos& out) {
    const Scanner& s = tu.scan;
    size_t from = s.line_pos > 0 ? s.line_pos - 1 : 0;
    size_t at = s.line.find(c, from);
    if (at != std::string::npos) {
        out = Pos{s.line_no, static_cast<int>(at)};
        return true;
    }
    if (!s.current_file) return false;
    for (const SourceLine& l : s.current_file->lines) {
        if (l.number <= s.line_no) continue;
        size_t i = l.text.find(c);
        if (i != std::string::npos) {
            out = Pos{l.number, static_cast<int>(i)};
            return true;
        }
    }
    return false;
}

const SourceLine* source_line(const TranslationUnit& tu, int number) {
    const SourceFile* f = tu.scan.current_file;
    if (!f || number < 1 || number > static_cast<int>(f->lines.size())) return nullptr;
    return &f->lines[static_cast<size_t>(number - 1)];
}

}  // namespace zun::tcx
