// Lookup of assembler directives and preprocessor keywords over dialect tables
// under three switches. The tables and codes belong to the caller (the
// assembler, the workbench's colouriser).
#pragma once

namespace zun {

// Tables are arrays ended by {nullptr, 0}.
struct DirectiveEntry {
  const char* name;
  int code;
};

struct DirectiveTables {
  const DirectiveEntry* native = nullptr;
  const DirectiveEntry* pure = nullptr;
  const DirectiveEntry* compat = nullptr;
  const DirectiveEntry* base = nullptr;
  const DirectiveEntry* hash_keywords = nullptr;  // searched behind '#'
  const DirectiveEntry* dot_keywords = nullptr;
  bool pure_on = true;
  bool native_on = false;
  bool compat_on = false;
};

// Code of the first entry whose name the word at `word` matches (word_eq_nocase),
// searching native (when on), then, only when pure is on, pure, compat (when on)
// and base. 0 when none matches. A null table is skipped.
int lookup_directive(const DirectiveTables& tables, const char* word);

// Code of the preprocessor keyword at `pos` (a '#' keyword when pure is on,
// else or then a dot keyword when native is on); on a match `pos` moves behind
// the keyword, otherwise it stays and the result is 0.
int lookup_pp_keyword(const DirectiveTables& tables, const char*& pos);

}  // namespace zun
