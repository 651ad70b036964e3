// SPDX-License-Identifier: MIT
// The compiler driver: options, files, start-up of every stage in its fixed
// order, the single pass over the unit and the exit code. A fatal stop of any
// stage arrives here as an exception and becomes the exit code.
#include "compiler/internal.h"

#include "common/exit_code.h"
#include "common/format.h"
#include "common/line_reader.h"
#include "common/output_file.h"
#include "common/path.h"

#include <cstdio>
#include <filesystem>
#include <new>

namespace zun::tcx {

namespace {

bool starts_with(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// One option argument without its '-'; false when nothing in the table takes it.
bool apply_option(Options& o, std::string_view a) {
    if (starts_with(a, "w")) {
        if (a.size() < 2 || !std::isdigit(static_cast<unsigned char>(a[1]))) return true;
        int d = a[1] - '0';
        if (d <= 6) {
            o.warning_level = d;
            return true;
        }
        // 7..9 fall through the rest of the table and end as unknown.
        o.warning_level = 4;
    }
    if (starts_with(a, "dump")) return o.dump = true;
    if (starts_with(a, "Ordc")) return o.dead_code = true;
    if (starts_with(a, "Op")) return o.peephole = true;
    if (starts_with(a, "Osp")) return o.sp = true;
    if (starts_with(a, "Ocm")) return o.code_motion = true;
    if (starts_with(a, "Ora")) return o.reg_alloc = true;
    if (starts_with(a, "O")) {
        o.dead_code = o.peephole = o.sp = o.code_motion = o.reg_alloc = true;
        return true;
    }
    if (starts_with(a, "g")) return o.debug = true;
    return false;
}

}  // namespace

Options parse_options(const std::vector<std::string>& args) {
    Options o;
    size_t i = 0;
    for (; i < args.size() && !args[i].empty() && args[i][0] == '-'; ++i) {
        if (apply_option(o, std::string_view(args[i]).substr(1))) continue;
        o.unknown_options.push_back(args[i]);
        o.option_messages += "Unknown option '" + args[i] + "', ignored\n";
    }
    for (; i < args.size(); ++i) o.files.push_back(args[i]);
    return o;
}

TranslationUnit::TranslationUnit(const Options& o) : options(o) {
    working_dir = o.working_dir;
    if (working_dir.empty()) {
        std::error_code ec;
        working_dir = std::filesystem::current_path(ec).string();
    }
}

std::optional<std::string> TranslationUnit::read_file(const std::string& path, std::string* reason) const {
    if (options.read_file) return options.read_file(path);
    std::string why;
    std::FILE* file = open_input_file(path, why);
    if (!file) {
        // A missing file keeps the plain message; a directory or a device says what it is.
        if (reason && (why == "is a directory" || why == "is not a regular file")) *reason = why;
        return std::nullopt;
    }
    std::string text;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
    bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) return std::nullopt;
    return text;
}

void NestingGuard::enter(TranslationUnit& tu, Nesting kind) {
    int& level = tu.nesting[static_cast<int>(kind)];
    if (++level > limit) {
        --level;
        report_text(tu, tu.scan.tok_line,
                    format("Nesting deeper than the compiler's limit of %d levels (expressions, statements "
                           "and declarators)",
                           limit));
        throw Fatal{exit_code_for_errors(tu.errors)};
    }
}

void ChainGuard::link() {
    ++links_;
    if (++tu_.chain_links <= limit) return;
    report_text(tu_, tu_.scan.tok_line,
                format("Expression longer than the compiler's limit of %d operands", limit));
    throw Fatal{exit_code_for_errors(tu_.errors)};
}

void init_builtin_types(TranslationUnit& tu) {
    BuiltinTypes& b = tu.builtin;
    auto set = [](Type& t, Kind k, int32_t size) {
        t.kind = k;
        t.size = size;
        t.saved = true;
    };
    set(b.void_, Kind::Void, -1);
    set(b.long_, Kind::Long, 4);
    set(b.ulong, Kind::ULong, 4);
    set(b.llong, Kind::LongLong, 8);
    set(b.ullong, Kind::ULongLong, 8);
    set(b.char_, Kind::Char, 1);
    set(b.uchar, Kind::UChar, 1);
    set(b.short_, Kind::Short, 2);
    set(b.ushort, Kind::UShort, 2);
    set(b.float_, Kind::Float, 4);
    set(b.double_, Kind::Double, 4);
    set(b.ldouble, Kind::Double, 4);
    // int is 16 bits on this target: copies of the short records.
    b.int_ = b.short_;
    b.uint = b.ushort;
    set(b.char_ptr, Kind::Pointer, 2);
    b.char_ptr.base = &b.char_;
    set(b.implicit_fn, Kind::Function, 0);
    b.implicit_fn.base = &b.int_;
    b.implicit_fn.array = true;
    set(b.void_ptr, Kind::Pointer, 2);
    b.void_ptr.base = &b.void_;
    b.enum_const = b.int_;
    b.enum_const.array = true;
}

namespace {

// Message 137, with what the file is when it is there but is no file to
// read; the message is about that file and names it.
void report_unreadable(TranslationUnit& tu, const std::string& name, const std::string& reason) {
    tu.file_name = name;
    if (reason.empty())
        report_str(tu, 137, name);
    else
        report_text(tu, tu.scan.tok_line, format("Can't open input file '%s': %s", name.c_str(), reason.c_str()));
}

void compile(TranslationUnit& tu, OutputFile& output) {
    const Options& o = tu.options;
    if (o.files.size() > 2) {
        report(tu, 135);
        throw Fatal{2};
    }
    if (!o.files.empty()) {
        std::string reason;
        std::optional<std::string> text = tu.read_file(o.files[0], &reason);
        if (!text) {
            report_unreadable(tu, o.files[0], reason);
            throw Fatal{2};
        }
        tu.input_text = std::move(*text);
        tu.file_name = o.files[0];
    }
    if (o.files.size() == 2) {
        // Writing over the source would lose it: refused before anything is written.
        if (!o.read_file && same_file(o.files[0], o.files[1])) {
            report_text(tu, 0, format("Can't open output file '%s': %s", o.files[1].c_str(), kOutputIsInput));
            throw Fatal{2};
        }
        if (!output.open(o.files[1], "tc")) {
            report_str(tu, 147, o.files[1]);
            throw Fatal{2};
        }
        // A failed write is remembered by the file and reported at the end.
        tu.write_output = [&output](std::string_view text) { output.write(text); };
    }
    init_builtin_types(tu);
    debug_init(tu);
    write_header(tu);
    scan_init(tu);
    scan_token(tu);
    translation_unit(tu);
    if (o.debug) debug_type_table(tu);
}

}  // namespace

Result run(const Options& options) {
    Result r;
    // Without an input there is nothing to compile: the usage, as a command
    // line fault.
    if (options.files.empty()) {
        r.stdout_text = "Usage: tcx09 [ options ] input [ output ]\n";
        r.stderr_text = options.option_messages;
        r.exit_code = 2;
        return r;
    }
    TranslationUnit tu(options);
    OutputFile output;
    try {
        compile(tu, output);
        r.exit_code = exit_code_for_errors(tu.errors);
    } catch (const Fatal& f) {
        r.exit_code = f.exit_code;
        if (r.exit_code == 0 && tu.errors > 0) r.exit_code = exit_code_for_errors(tu.errors);
    } catch (const std::bad_alloc&) {
        tu.err += error_line(tu, tu.scan.tok_line, "Memory exhausted");
        r.exit_code = 1;
    }
    out_newline(tu);
    if (output.is_open()) {
        if (!output.write(tu.out.text) || !output.commit()) {
            // A partial assembler text must not pass for a compiled unit.
            tu.err += error_line(tu, 0, format("Can't write output file '%s': %s", output.path().c_str(),
                                               output.error().c_str()));
            r.exit_code = 2;
        }
        r.stdout_text = tu.console;
    } else {
        r.stdout_text = std::move(tu.out.text);
    }
    r.stderr_text = options.option_messages + tu.err;
    return r;
}

}  // namespace zun::tcx
