// Directive and preprocessor-keyword lookup over the caller's dialect tables.
// The search order is part of the dialect rules: the native table can override
// everything, and with the pure switch off no standard directive is known.
#include "common/directive.h"

#include "common/text.h"

namespace zun {

namespace {

int search(const DirectiveEntry* table, const char* word) {
  if (!table) return 0;
  for (const DirectiveEntry* e = table; e->name; ++e)
    if (word_eq_nocase(word, e->name)) return e->code;
  return 0;
}

}  // namespace

int lookup_directive(const DirectiveTables& tables, const char* word) {
  if (!word) return 0;
  int code = 0;
  if (tables.native_on && (code = search(tables.native, word))) return code;
  if (!tables.pure_on) return 0;
  if ((code = search(tables.pure, word))) return code;
  if (tables.compat_on && (code = search(tables.compat, word))) return code;
  return search(tables.base, word);
}

int lookup_pp_keyword(const DirectiveTables& tables, const char*& pos) {
  const char* p = pos;
  if (!p) return 0;
  int code = 0;
  if (tables.pure_on && *p == '#') {
    p = skip_blanks(p + 1);
    if ((code = search(tables.hash_keywords, p))) {
      pos = skip_word(p);
      return code;
    }
  }
  // A dot keyword is also tried behind a '#' that found no '#' keyword.
  if (tables.native_on && (code = search(tables.dot_keywords, p))) {
    pos = skip_word(p);
    return code;
  }
  return 0;
}

}  // namespace zun
