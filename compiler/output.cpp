// SPDX-License-Identifier: MIT
// The assembler-text writer: header, segment lines, labels and name
// decoration, data directives, the echo of source lines, the string-literal
// pool and the float encoding. Everything the compiler emits passes here.
#include "compiler/codegen.h"

#include "common/format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace zun::tcx {

namespace {

constexpr int seg_index(SegKind k) { return static_cast<int>(k); }

// A line holds 12 bytes: a new FCB line counts 19 and each byte 4.
constexpr int fcb_first = 19, fcb_step = 4, fcb_limit = 60;
// A line holds 9 words: a new FDB line counts 21 and each word 6.
constexpr int fdb_first = 21, fdb_step = 6, fdb_limit = 64;

void segment_line(TranslationUnit& tu, SegKind k, bool always, const std::string& name) {
    Output& o = tu.out;
    if (!always && o.current == k && o.seg_written[seg_index(k)] == name) return;
    out_line(tu, "\tSEGMENT\t" + name);
    o.current = k;
    o.seg_written[seg_index(k)] = name;
}

// Bytes that FCS text can carry, with their spelling. Only escapes that the
// assembler reads back as the same byte are used; 4, 11 and 12 go as FCB.
std::optional<std::string> fcs_text(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (std::isalnum(c) || c == ' ' || c == '%' || c == ',' || c == '-' || c == '.' || c == '_') {
            out += static_cast<char>(c);
            continue;
        }
        switch (c) {
        case 8: out += "\\b"; break;
        case 10: out += "\\n"; break;
        case 13: out += "\\r"; break;
        default: return std::nullopt;
        }
    }
    return out;
}

// The assembler reads at most 4093 characters of a line and takes the rest
// as a line of its own: a longer source line goes out as several comment
// lines, the later ones without the number. A piece never ends inside a
// UTF-8 character.
constexpr size_t echo_piece = 4000;

void echo_line(TranslationUnit& tu, int number, std::string_view text) {
    std::string prefix = format("; %5d | ", number);
    do {
        size_t n = std::min(text.size(), echo_piece);
        while (n < text.size() && n > 1 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
        out_line(tu, prefix + std::string(text.substr(0, n)));
        text.remove_prefix(n);
        prefix = ";       | ";
    } while (!text.empty());
}

}  // namespace

void out_raw(TranslationUnit& tu, const std::string& s) { tu.out.text += s; }

void pass_on_output(TranslationUnit& tu) {
    constexpr size_t chunk = 1 << 16;
    if (!tu.write_output || tu.out.text.size() < chunk) return;
    tu.write_output(tu.out.text);
    tu.out.text.clear();
}

void out_line(TranslationUnit& tu, const std::string& s) {
    Output& o = tu.out;
    if (o.pending_newline) o.text += '\n';
    o.text += s;
    o.pending_newline = true;
    o.data_state = 0;
}

void out_newline(TranslationUnit& tu) {
    if (tu.out.pending_newline) tu.out.text += '\n';
    tu.out.pending_newline = false;
}

std::string decorate(const std::string& name) {
    std::string d = !name.empty() && name[0] == '.' ? name.substr(1) : "_" + name;
    return d.substr(0, 127);
}

std::string asm_name(const Symbol* s) {
    if (s->sclass == StorageClass::Static && !s->is_function) return format("_%d", s->value);
    return s->nomangle ? s->name : decorate(s->name);
}

std::string symbol_label(const Symbol* s) { return asm_name(s) + ":\t"; }

void write_header(TranslationUnit& tu) {
    const Options& o = tu.options;
    out_raw(tu, format("; %s - KVT Cross C compiler (V %s)\n", "TCX09", "4.0"));
    if (o.debug) out_raw(tu, "; -g option (symbolic debug information) supplied\n");
    std::string opt = "; optimization:";
    if (o.peephole) opt += " -Op";
    if (o.sp) opt += " -Osp";
    if (o.dead_code) opt += " -Ordc";
    if (o.code_motion) opt += " -Ocm";
    if (o.reg_alloc) opt += " -Ora";
    if (!o.peephole && !o.sp && !o.dead_code && !o.code_motion && !o.reg_alloc) opt += " None";
    out_raw(tu, opt);
    if (o.debug && (o.code_motion || o.reg_alloc))
        out_raw(tu, "; Debug option disabled code motion and register allocation\n");
    out_raw(tu, "\n");
    Output& out = tu.out;
    out.seg_name[seg_index(SegKind::Code)] = "text";
    out.seg_name[seg_index(SegKind::Data)] = "data";
    out.seg_name[seg_index(SegKind::Const)] = "rodata";
    out.seg_name[seg_index(SegKind::Bss)] = "bss";
    out_raw(tu, "* Compiler Default segment names\n");
    for (SegKind k : {SegKind::Code, SegKind::Bss, SegKind::Data, SegKind::Const})
        out_raw(tu, "\tSEGMENT\t" + out.seg_name[seg_index(k)] + "\n");
}

void file_line(TranslationUnit& tu, const std::string& path) {
    out_newline(tu);
    out_raw(tu, format("\tFILE\t\"%s\"\n", path.c_str()));
    debug_source_file(tu, path);
}

void segment_code(TranslationUnit& tu) {
    segment_line(tu, SegKind::Code, true, tu.out.seg_name[seg_index(SegKind::Code)]);
}
void segment_data(TranslationUnit& tu) { segment_named(tu, SegKind::Data, tu.out.seg_name[seg_index(SegKind::Data)]); }
void segment_const(TranslationUnit& tu) {
    segment_named(tu, SegKind::Const, tu.out.seg_name[seg_index(SegKind::Const)]);
}
void segment_bss(TranslationUnit& tu) { segment_named(tu, SegKind::Bss, tu.out.seg_name[seg_index(SegKind::Bss)]); }
void segment_named(TranslationUnit& tu, SegKind kind, const std::string& name) {
    segment_line(tu, kind, false, name);
}

void echo_source(TranslationUnit& tu, const DebugPos& pos) {
    SourceFile* f = tu.scan.current_file;
    if (!f) return;
    int last = std::min(pos.end.line, static_cast<int>(f->lines.size()));
    for (int n = f->last_echoed + 1; n <= last; ++n) {
        SourceLine& l = f->lines[static_cast<size_t>(n - 1)];
        if (l.echoed) continue;
        echo_line(tu, n, l.text);
        l.echoed = true;
    }
    f->last_echoed = std::max(f->last_echoed, last);
}

void label_line(TranslationUnit& tu, int number) { out_line(tu, format("_%d:", number)); }

void data_byte(TranslationUnit& tu, int value) {
    Output& o = tu.out;
    unsigned v = static_cast<unsigned>(value) & 0xFF;
    if (o.data_state == 1 && o.data_count < fcb_limit) {
        o.text += format(",$%X", v);
        o.data_count += fcb_step;
        return;
    }
    out_line(tu, format("\tFCB\t$%X", v));
    o.data_state = 1;
    o.data_count = fcb_first;
}

void data_word(TranslationUnit& tu, const std::string& constant) {
    Output& o = tu.out;
    if (o.data_state == 3 && o.data_count <= fdb_limit) {
        o.text += "," + constant;
        o.data_count += fdb_step;
        return;
    }
    out_line(tu, "\tFDB\t" + constant);
    o.data_state = 3;
    o.data_count = fdb_first;
}

void data_word_labelled(TranslationUnit& tu, const Symbol* s, const std::string& constant) {
    out_line(tu, symbol_label(s) + "\tFDB\t" + constant);
}

void data_byte_labelled(TranslationUnit& tu, const Symbol* s, const std::string& constant) {
    out_line(tu, symbol_label(s) + "FCB\t" + constant);
}

void data_quad(TranslationUnit& tu, const Symbol* s, const std::string& constant) {
    if (s) out_line(tu, asm_name(s) + ":");
    out_line(tu, "\tFQB\t" + constant);
}

void data_float(TranslationUnit& tu, const Symbol* s, double v) {
    data_quad(tu, s, format("$%X", float_bits(v)));
}

// A float inside a code list: its two words, on a line that later words may join.
void data_float_words(TranslationUnit& tu, double v) {
    uint32_t bits = float_bits(v);
    out_line(tu, format(" fdb $%X,$%X", bits >> 16, bits & 0xFFFFu));
    tu.out.data_state = 3;
    tu.out.data_count = 25;
}

void data_string(TranslationUnit& tu, int label, const std::string& bytes, bool terminate) {
    if (bytes.size() > 1024) {
        out_line(tu, format("CI100000 label/str/size:\t\"%d %s %d\"", label, bytes.c_str(),
                            static_cast<int>(bytes.size())));
        internal_error(tu, 100000);
        return;
    }
    std::optional<std::string> text = fcs_text(bytes);
    if (text && !bytes.empty()) {
        // Long texts go over several FCS lines, split between escapes.
        constexpr size_t chunk = 64;
        std::string prefix = label > 0 ? format("_%d:", label) : std::string();
        for (size_t at = 0; at < text->size();) {
            size_t n = std::min(chunk, text->size() - at);
            if (at + n < text->size() && (*text)[at + n - 1] == '\\') ++n;
            out_line(tu, prefix + "\tFCS\t\"" + text->substr(at, n) + "\"");
            prefix.clear();
            at += n;
        }
        if (terminate) out_line(tu, "\tFCB\t0");
        return;
    }
    if (label > 0) {
        out_newline(tu);
        out_raw(tu, format("_%d: ", label));
        // the bytes begin a line of their own behind the label, never the
        // continuation of an earlier FCB line
        tu.out.data_state = 0;
    }
    for (unsigned char c : bytes) data_byte(tu, c);
    if (terminate) data_byte(tu, 0);
}

void data_reserve(TranslationUnit& tu, const Symbol* s) {
    // the segment that was in force at the object's definition
    SegKind kind = s->is_const ? SegKind::Const : SegKind::Bss;
    segment_named(tu, kind, s->segment.empty() ? tu.out.seg_name[seg_index(kind)] : s->segment);
    // An empty object still gets its label, but no reservation of nothing.
    if (s->type->size <= 0) {
        out_line(tu, asm_name(s) + ":");
        debug_symbol(tu, s);
        return;
    }
    out_line(tu, symbol_label(s) + format("RMB\t$%X", static_cast<unsigned>(s->type->size)));
    debug_symbol(tu, s);
}

void export_line(TranslationUnit& tu, const Symbol* s) {
    out_line(tu, format("\tEXPORT\t%s\t[%c,%d]", asm_name(s).c_str(), s->is_const ? 'a' : 'r', s->type->size));
    out_newline(tu);
}

std::string putconst(TranslationUnit& tu, const Node* n) {
    switch (n->kind) {
    case NodeKind::IntConst:
        if (std::abs(static_cast<long>(n->value)) < 10) return format("%d", n->value);
        return format("$%2.2lX", static_cast<unsigned long>(n->value) & 0xFFFFul);
    case NodeKind::FloatConst: return format("$%lX", static_cast<unsigned long>(float_bits(n->fvalue)));
    case NodeKind::StaticAddr: return format("_%ld", static_cast<long>(n->value));
    case NodeKind::NameAddr:
        return n->symbol && n->symbol->nomangle ? n->name : decorate(n->name);
    case NodeKind::FrameAddr: return format("%d", n->value);
    case NodeKind::Add: return putconst(tu, n->left) + "+" + putconst(tu, n->right);
    case NodeKind::Sub: return putconst(tu, n->left) + "-" + putconst(tu, n->right);
    case NodeKind::Neg: return format("-%s", putconst(tu, n->left).c_str());
    default: break;
    }
    internal_error(tu, 4282);
    return {};
}

int pool_string(TranslationUnit& tu, const std::string& bytes, Symbol* owner) {
    Output& o = tu.out;
    auto it = o.pool_index.find(bytes);
    if (it != o.pool_index.end()) return o.pool[it->second].label;
    int label = tu.next_label++;
    o.pool_index.emplace(bytes, o.pool.size());
    o.pool.push_back(PooledString{label, bytes, owner, o.seg_name[seg_index(SegKind::Const)]});
    return label;
}

uint32_t float_bits(double v) {
    if (std::isnan(v)) return 0;
    uint32_t sign = std::signbit(v) ? 0x80000000u : 0;
    if (v == 0.0) return sign;
    const uint32_t overflow = sign | 0x7F800000u;
    if (std::isinf(v)) return overflow;
    int exp = 0;
    double m = std::frexp(std::fabs(v), &exp);  // m in [0.5, 1)
    int biased = 126 + exp;
    if (biased < 1) return 0;
    if (biased > 254) return overflow;
    double scaled = std::ldexp(m, 25);          // 25 bits: 24 kept, one for rounding
    uint32_t bits = static_cast<uint32_t>(scaled);
    bool sticky = scaled != static_cast<double>(bits);
    uint32_t frac = bits >> 1;
    // to nearest, a tie to even: the same rounding as the run-time routines,
    // so that a folded constant equals the value computed on the board
    if ((bits & 1) && (sticky || (frac & 1))) ++frac;
    if (frac == (1u << 24)) {
        frac >>= 1;
        if (++biased > 254) return overflow;
    }
    return sign | (static_cast<uint32_t>(biased) << 23) | (frac & 0x7FFFFFu);
}

double single_value(double v) {
    if (std::isnan(v)) return v;
    uint32_t bits = float_bits(v);
    double sign = bits & 0x80000000u ? -1.0 : 1.0;
    int biased = static_cast<int>((bits >> 23) & 0xFF);
    if (biased == 0) return sign * 0.0;
    if (biased == 255) return sign * HUGE_VAL;
    return sign * std::ldexp(static_cast<double>((bits & 0x7FFFFFu) | 0x800000u), biased - 150);
}

}  // namespace zun::tcx
