// The build runners behind the make engine's command words: COMP (cpp, tcx09
// and hasm09 over three temporary files), ASSM (one hasm09 run) and LINK (one
// vlk run), and the quoting of option items that all three share. Every
// option reaches its tool as a double-quoted argument of its own.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "common/format.h"
#include "common/path.h"
#include "common/termination.h"
#include "common/text.h"
#include "workbench/build/make_engine.h"

namespace zun::wb {

namespace {

bool space_or_tab(char c) { return c == ' ' || c == '\t'; }

const char* skip_space_tab(const char* p) {
  while (space_or_tab(*p)) ++p;
  return p;
}

// An option item runs from its '-' to the first blank or control character
// outside single quotes.
const char* item_end(const char* item) {
  bool quoted = false;
  const char* p = item + 1;
  for (; *p; ++p) {
    if (*p == '\'') {
      quoted = !quoted;
    } else if (!quoted && static_cast<unsigned char>(*p) <= ' ') {
      break;
    }
  }
  return p;
}

// The value of an option whose letter is at `at - 1`: blanks skipped, then a
// quoted text ("..." or '...') or a run of non-blanks; '\' becomes '/'.
const char* read_value(const char* at, std::string& value) {
  const char* p = skip_space_tab(at);
  value.clear();
  if (*p == '"' || *p == '\'') {
    char quote = *p++;
    while (*p && *p != quote) value += *p++;
    if (*p) ++p;
  } else {
    while (static_cast<unsigned char>(*p) > ' ') value += *p++;
  }
  path_to_slashes(value);
  return p;
}

// The temporary files of one compilation, named from "C1XXXXXX" and the like
// in the current directory; whatever is not handed on is removed at the end,
// or when a signal ends the program.
class Temporaries {
 public:
  explicit Temporaries(BuildFiles& files) : files_(files) {}
  ~Temporaries() {
    for (size_t i = 0; i < names_.size(); ++i)
      if (!names_[i].empty()) {
        files_.remove(names_[i]);
        release(i);
      }
  }
  bool create(const char* prefix) {
    std::string name;
    int fd = create_temporary_removed_on_termination("", prefix, name);
    if (fd < 0) return false;
    close(fd);
    names_.push_back(name);
    return true;
  }
  const std::string& operator[](size_t i) const { return names_[i]; }
  void release(size_t i) {
    keep_after_termination(names_[i]);
    names_[i].clear();
  }

 private:
  BuildFiles& files_;
  std::vector<std::string> names_;
};

struct Runner {
  MakeContext& ctx;
  BuildFiles disk;
  BuildFiles& files;
  explicit Runner(MakeContext& c) : ctx(c), files(c.files ? *c.files : disk) {}

  void print(std::string_view text) const {
    if (ctx.out) ctx.out(text);
  }
  int tool(const char* program, const std::string& args, const char* caption) const {
    if (!ctx.runner) {
      print("\nFailed to create process, system message is: no process runner\n");
      return run_not_started;
    }
    return ctx.runner->run_tool(ctx.program_dir, program, args, caption);
  }
  bool overflowed(std::initializer_list<const OptionText*> texts) const {
    for (const OptionText* t : texts)
      if (t->overflowed()) {
        print("Internal buffer overflow (add_opt)\n");
        return true;
      }
    return false;
  }
  // A rename that replaces the destination, tried a second time after
  // removing it.
  bool move(const std::string& from, const std::string& to) const {
    if (files.rename(from, to)) return true;
    files.remove(to);
    return files.rename(from, to);
  }
  // Temporary file `i` becomes `path`, or the run fails with `failure`.
  bool keep(Temporaries& tmp, size_t i, const std::string& path, const char* failure) const {
    if (!move(tmp[i], path)) {
      print(failure);
      return false;
    }
    tmp.release(i);
    return true;
  }
};

// Which file a name holds and when it was last written; nullopt when it is
// missing. The assembler puts a new file in place of its object, so the file
// tells a new object from the old one where the file system keeps the time
// only to the second.
struct WriteStamp {
  dev_t device;
  ino_t inode;
  int64_t seconds, nanoseconds;
  bool operator==(const WriteStamp&) const = default;
};

std::optional<WriteStamp> write_stamp(const std::string& path) {
  struct stat st;
  if (stat(path_native(path).c_str(), &st) != 0) return std::nullopt;
  return WriteStamp{st.st_dev, st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

}  // namespace

namespace {

// A double quote as the C runtime reads it back: the backslashes right
// before it are doubled, so that they stay backslashes; a quote that belongs
// to the text gets one more backslash.
void put_quote(std::string& out, bool literal) {
  size_t run = out.size() - (out.find_last_not_of('\\') + 1);
  out.append(run, '\\');
  out += literal ? "\\\"" : "\"";
}

}  // namespace

const char* OptionText::add_opt(const char* item) {
  const char* end = item_end(item);
  // A single quote closes one argument and opens the next.
  std::string quoted = " \"-";
  for (const char* p = item + 1; p < end; ++p) {
    if (*p == '\'') {
      put_quote(quoted, false);
      quoted += " \"";
    } else if (*p == '"') {
      put_quote(quoted, true);
    } else {
      quoted += *p;
    }
  }
  if (quoted.size() >= 2 && quoted.compare(quoted.size() - 2, 2, " \"") == 0) {
    quoted.resize(quoted.size() - 2);
  } else {
    put_quote(quoted, false);
  }
  if (text_.size() + quoted.size() >= capacity) {
    overflowed_ = true;
  } else {
    text_ += quoted;
  }
  return end;
}

// COMP [options] "source.c": preprocess, compile and assemble one C source
// into the object named by -o.
int run_comp(MakeContext& ctx, std::string_view text) {
  Runner run(ctx);
  const std::string all(text);
  OptionText pp, cc, as;
  std::string object, value;
  bool keep_prep = false, keep_asm = false;
  const char* p = skip_space_tab(all.c_str());
  while (*p == '-') {
    switch (p[1]) {
      case '-': case 'a': case 'm': case 'O': case 'w':
        p = cc.add_opt(p);
        break;
      case 'g':
        cc.add_opt(p);
        p = as.add_opt(p);
        break;
      case 'd':
        p = read_value(p + 2, value);
        as.add_opt("-d'" + value + "'");
        break;
      case 'I':
        p = read_value(p + 2, value);
        pp.add_opt("-I'" + value + "'");
        break;
      case '+': case 'C': case 'D': case 'M': case 'N': case 'U': case 'V': case 'f': case 'l': case 'v':
        p = pp.add_opt(p);
        break;
      case 'o':
        p = read_value(p + 2, object);
        break;
      case 'P': keep_prep = true; p = item_end(p); break;
      case 'S': keep_asm = true; p = item_end(p); break;
      case 'c': p = item_end(p); break;
      default: {
        const char* end = item_end(p);
        run.print("Unknown  option (ignored) " + std::string(p, end) + "\n");
        p = end;
      }
    }
    p = skip_space_tab(p);
  }
  for (const char* name : {"__ZUN", "__STDC__", "__IIS", "__ZUN09", "_C_COMPILED"})
    pp.add_opt(std::string("-D") + name);
  if (run.overflowed({&pp, &cc, &as})) return 1;

  std::string source;
  if (*p == '"') read_quoted(source, p);
  std::string name = path_file_name(source);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || !equal_nocase(name.substr(dot + 1), "c")) {
    run.print("Unknown type of file\n");
    return 1;
  }
  std::string base = name.substr(0, dot);
  std::string out_dir = path_last_sep(object) == std::string::npos ? ctx.project_dir : path_dir_name(object);
  if (object.empty()) object = path_join(out_dir, base + ".o09");
  if (!std::ifstream(path_native(source))) {
    run.print("Can't open: " + source + "\n");
    return 1;
  }
  Temporaries tmp(run.files);
  if (!tmp.create("C1") || !tmp.create("C2") || !tmp.create("C3")) {
    run.print("FATAL: Can't create temporary file\n");
    return 1;
  }
  run.print(name + "\n");

  int rc = run.tool("cpp.exe", " " + pp.text() + " \"" + source + "\" \"" + tmp[0] + "\"", "Preprocessing");
  if (rc != 0) return rc < 0 ? rc : 1;
  rc = run.tool("tcx09.exe", " " + cc.text() + " \"" + tmp[0] + "\" \"" + tmp[1] + "\"", "Compiling");
  if (keep_prep && !run.keep(tmp, 0, path_join(out_dir, base + ".prep"), "Can't rename file\n")) return 1;
  if (rc != 0) return rc;
  as.add_opt("-e");
  as.add_opt("-o'" + tmp[2] + "'");
  if (run.overflowed({&as})) return 1;
  rc = run.tool("hasm09.exe", " " + as.text() + " \"" + tmp[1] + "\"", "Assembling");
  if (keep_asm && !run.keep(tmp, 1, path_join(out_dir, base + ".S"), "\nCan't rename file\n")) return 1;
  if (rc != 0) return rc;
  return run.keep(tmp, 2, object, "Can't rename file\n") ? 0 : 1;
}

// ASSM [options] "source": one assembler run. The assembler ends with 0 also
// when it could not open its files, so a run counts only when the object was
// written; an object written with errors is removed, so that it never looks
// up to date.
int run_assm(MakeContext& ctx, std::string_view text) {
  Runner run(ctx);
  const std::string all(text);
  OptionText as;
  std::string object, value;
  const char* p = skip_space_tab(all.c_str());
  while (*p == '-') {
    char letter = p[1];
    if (letter && std::strchr("CDIdor", letter)) {
      p = read_value(p + 2, value);
      as.add_opt(format("-%c'%s'", letter, value.c_str()));
      if (letter == 'o') object = value;
    } else {
      p = as.add_opt(p);
    }
    p = skip_space_tab(p);
  }
  as.add_opt("-D'__ZUN09'");
  if (run.overflowed({&as})) return 1;

  std::string rest(p), source;
  if (*p == '"') {
    read_quoted(source, p);
  } else {
    source = rest;
  }
  run.print(path_file_name(source) + "\n");
  if (object.empty()) {
    object = path_file_name(source);
    object = object.substr(0, object.rfind('.')) + ".o09";
  }
  auto before = write_stamp(object);
  std::string args = *p == '"' ? " " + as.text() + " " + rest : " " + as.text() + " \"" + rest + "\"";
  int rc = run.tool("hasm09.exe", args, "Assembling");
  auto after = write_stamp(object);
  bool written = after && after != before;
  if (rc != 0) {
    if (written) run.files.remove(object);
    return rc;
  }
  return written ? 0 : 1;
}

// LINK <text>: vlk with the configuration directory as script path and the
// text as written.
int run_link(MakeContext& ctx, std::string_view text) {
  Runner run(ctx);
  std::string config = path_canonicalize(format("%s/%s/%s", ctx.program_dir.c_str(), "../config", "zun09"));
  return run.tool("vlk.exe", "\"-I\" \"" + config + "\" " + std::string(text), "Linking");
}

}  // namespace zun::wb
