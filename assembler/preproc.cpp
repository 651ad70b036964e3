// The '#' lines: conditional assembly (#if, #ifdef, #ifndef, #elif, #else,
// #endif), #define of constants and #error. Conditionals nest up to a fixed
// depth that the user is told about; deeper levels are counted but have no
// state of their own, and #endif unwinds them first.
#include "assembler/internal.h"
#include "common/format.h"
#include "common/text.h"

#include <algorithm>

namespace zun::hasm {

namespace {

enum PpCode : int { If = 41, Else = 42, Endif = 43, Elif = 44, Ifdef = 45, Define = 46,
                    Ifndef = 47, Error = 48 };

// Evaluates the word at p where it stands in the line, so that a fault names
// its column there; false after a reported error.
bool eval_word(Assembly& as, const char* p, uint32_t& value) {
  return eval_absolute_field(as, p, value);
}

// The position of word n (from 0) of the rest of the line.
const char* word_at(const char* rest, int n) {
  const char* p = skip_blanks(rest);
  for (; n > 0; --n) p = skip_blanks(skip_word(p));
  return p;
}

std::vector<std::string> words_of(const char* rest) {
  std::vector<std::string> words;
  const char* p = skip_blanks(rest);
  while (*p != '\0') {
    const char* end = skip_word(p);
    words.emplace_back(p, static_cast<size_t>(end - p));
    p = skip_blanks(end);
  }
  return words;
}

bool is_defined(Assembly& as, const std::string& name) {
  if (name.empty()) return false;
  Symbol* s = find_symbol(as, name);
  if (!s) {
    s = enter_symbol(as, name, 0, 0, SymUndefined | SymPpDefine, 0);
    return false;
  }
  return (s->flags & SymDefined) != 0;
}

// Opens a level; false when the table is full (the line does nothing more).
bool open_level(Assembly& as, const char* too_deep) {
  ++as.cond_depth;
  if (as.cond_depth >= MaxCondDepth) {
    if (!as.cond_overflow_reported) {
      as.cond_overflow_reported = true;
      error(as, too_deep);
    }
    return false;
  }
  // The #if line is recorded even inside a skipped block: an open level must
  // be reported where it began.
  as.cond[as.cond_depth].file = as.current_path;
  as.cond[as.cond_depth].line = as.line_in_file;
  if (as.skip_level != 0) return false;
  as.cond[as.cond_depth].state = 0;
  return true;
}

void take_or_skip(Assembly& as, bool condition) {
  if (condition) as.cond[as.cond_depth].state = 1;
  else as.skip_level = as.cond_depth;
}

// #elif and #else act only when the level they belong to decides.
bool level_decides(const Assembly& as) {
  return as.cond_depth < MaxCondDepth && (as.skip_level == 0 || as.skip_level == as.cond_depth);
}

void elif_line(Assembly& as, const std::string& word) {
  if (!level_decides(as)) return;
  if (as.cond_depth == 0) { error(as, "#elif with no #if"); return; }
  CondLevel& level = as.cond[as.cond_depth];
  if (level.state == 2) { error(as, "#elif after #else"); return; }
  bool condition = !word.empty() && is_defined(as, word);
  if (level.state == 1 || !condition) {
    as.skip_level = as.cond_depth;
  } else {
    as.skip_level = 0;
    level.state = 1;
  }
}

void else_line(Assembly& as) {
  if (!level_decides(as)) return;
  if (as.cond_depth == 0) { error(as, "#else with no #if"); return; }
  CondLevel& level = as.cond[as.cond_depth];
  if (level.state == 2) { error(as, "#else after #else"); return; }
  bool taken = level.state == 1;
  level.state = 2;
  as.skip_level = taken ? as.cond_depth : 0;
}

void endif_line(Assembly& as) {
  if (as.cond_depth == 0) {
    error(as, "#endif with no #if");
    return;
  }
  --as.cond_depth;
  if (as.cond_depth < MaxCondDepth - 1) as.cond_overflow_reported = false;
  if (as.skip_level != 0 && as.cond_depth < as.skip_level) as.skip_level = 0;
}

void define_line(Assembly& as, const std::vector<std::string>& words, const char* rest) {
  if (words.empty()) return;
  const std::string& name = words[0];
  if (name.find('(') != std::string::npos) {
    warning(as, "Macro Expansions is NOT supported, 'define' igored");
    return;
  }
  if (name.size() > MaxNameLength) {
    error(as, format("Symbol name is to long (max %d characters)", MaxNameLength));
    return;
  }
  bool has_value = words.size() > 1 && words[1][0] != '*' && words[1][0] != ';';
  uint32_t value = 0;
  if (has_value && !eval_word(as, word_at(rest, 1), value)) return;
  Symbol* s = find_symbol(as, name);
  if (s && s->from_command_line) {
    warning(as, "Already defined from command line, this line is ignored");
    return;
  }
  if (s && (s->flags & SymDefined)) {
    s->flags |= SymMultiple;
    if (s->first_line != as.running_line) {
      warning(as, format("symbol '%s' previously defined at line %d", s->name.c_str(),
                         s->first_line));
      if (has_value && value != s->value)
        error(as, format("symbol '%s' redefined at line %d", s->name.c_str(), s->first_line));
    }
    return;
  }
  if (!s) s = enter_symbol(as, name, 0, as.running_line, 0, -1);
  s->flags = (s->flags & ~SymUndefined) | SymDefined | SymConstant | SymPpDefine;
  s->first_line = as.running_line;
  s->segment = abs_segment(as);
  s->size = -1;
  if (has_value) s->value = value;
}

}  // namespace

bool assembling(const Assembly& as) { return as.skip_level == 0; }

void reset_conditionals(Assembly& as) {
  as.cond_depth = 0;
  as.skip_level = 0;
  as.cond_overflow_reported = false;
}

void close_open_conditionals(Assembly& as, int depth) {
  if (as.cond_depth <= depth) return;
  for (int level = std::min(as.cond_depth, MaxCondDepth - 1); level > depth; --level)
    warning_at(as, as.cond[level].file, as.cond[level].line,
               "#if without #endif at the end of the file");
  as.cond_depth = depth;
  if (as.cond_depth < MaxCondDepth - 1) as.cond_overflow_reported = false;
  if (as.skip_level > as.cond_depth) as.skip_level = 0;
}

void preprocessor_line(Assembly& as, int code, const char* rest) {
  std::vector<std::string> words = words_of(rest);
  std::string word = words.empty() ? std::string() : words[0];
  switch (code) {
    case If:
      if (open_level(as, "#if too deeply nested")) {
        uint32_t value = 0;
        bool ok = eval_word(as, word_at(rest, 0), value);
        take_or_skip(as, ok && value != 0);
      }
      break;
    case Ifdef:
      if (open_level(as, "#if too deeply nested")) take_or_skip(as, is_defined(as, word));
      break;
    case Ifndef:
      if (open_level(as, "#ifndef too deeply nested")) take_or_skip(as, !is_defined(as, word));
      break;
    case Elif: elif_line(as, word); break;
    case Else: else_line(as); break;
    case Endif: endif_line(as); break;
    case Define:
      if (assembling(as)) define_line(as, words, rest);
      break;
    case Error:
      if (assembling(as)) error(as, "Message Directive");
      break;
    default: break;
  }
}

}  // namespace zun::hasm
