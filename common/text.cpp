// Text scanners and copying readers. Every blank test treats the byte as a
// signed 8-bit value, so bytes from 128 up count as blanks like the control
// characters: a word containing a Latin-1 letter ends there.
#include "common/text.h"

#include <cstring>

namespace zun {

namespace {

int signed_value(char c) { return static_cast<signed char>(c); }

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Copies up to the NUL or '\n', leaving out a CR that stands right before the '\n'.
void append_line(std::string& dst, const char* src) {
  if (!src) return;
  const char* end = std::strchr(src, '\n');
  size_t n = end ? static_cast<size_t>(end - src) : std::strlen(src);
  if (end && n > 0 && src[n - 1] == '\r') --n;
  dst.append(src, n);
}

void drop_continuation(std::string& dst) {
  if (!dst.empty() && dst.back() == '\\') dst.pop_back();
}

}  // namespace

bool is_blank(char c) { return signed_value(c) <= 32; }

bool equal_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

bool is_ident_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

const char* skip_blanks(const char* text) {
  if (!text) return nullptr;
  while (*text && is_blank(*text)) ++text;
  return text;
}

const char* skip_word(const char* text) {
  if (!text) return nullptr;
  while (!is_blank(*text)) ++text;
  return text;
}

const char* skip_blanks_commas(const char* text) {
  if (!text) return nullptr;
  while (*text && (is_blank(*text) || *text == ',')) ++text;
  return *text ? text : nullptr;
}

const char* find_ident_start(const char* text) {
  if (!text) return nullptr;
  while (*text && !is_ident_char(*text)) ++text;
  return *text ? text : nullptr;
}

bool word_eq_nocase(const char* text, const char* word) {
  if (!text || !word) return false;
  while (signed_value(*text) >= 32 && signed_value(*word) >= 32 && fold(*text) == fold(*word)) {
    ++text;
    ++word;
  }
  return signed_value(*text) < 33 && signed_value(*word) < 33;
}

bool is_continued_line(const char* line) {
  if (!line) return false;
  size_t n = std::strlen(line);
  if (n >= 2 && line[n - 1] == '\n' && line[n - 2] == '\\') return true;
  return n >= 3 && line[n - 1] == '\n' && line[n - 2] == '\r' && line[n - 3] == '\\';
}

void copy_line(std::string& dst, const char* src) {
  dst.clear();
  append_line(dst, src);
}

void copy_line_nocont(std::string& dst, const char* src) {
  copy_line(dst, src);
  drop_continuation(dst);
}

void append_line_nocont(std::string& dst, const char* src) {
  append_line(dst, src);
  drop_continuation(dst);
}

const char* copy_ident(std::string& dst, const char* src) {
  dst.clear();
  if (!src) return nullptr;
  return take_ident(dst, src);
}

const char* take_ident(std::string& dst, const char* src) {
  dst.clear();
  if (!src) return nullptr;
  const char* p = src;
  while (is_ident_char(*p)) ++p;
  dst.assign(src, p);
  return p;
}

const char* copy_ident_eq(std::string& dst, const char* src) {
  dst.clear();
  if (!src) return nullptr;
  const char* p = src;
  while (is_ident_char(*p) || *p == '=') ++p;
  dst.assign(src, p);
  return p;
}

const char* next_ident(std::string& dst, const char* src) {
  if (src)
    while (*src == ' ' || *src == '\t') ++src;
  return take_ident(dst, src);
}

const char* next_ident_eq(std::string& dst, const char* src) {
  if (src)
    while (*src == ' ' || *src == '\t') ++src;
  return copy_ident_eq(dst, src);
}

const char* read_quoted(std::string& dst, const char* text) {
  dst.clear();
  if (!text) return nullptr;
  if (text[0] != '"') return text;
  const char* p = text + 1;
  if (*p == '\0') return p;
  const char* start = p;
  while (*p && *p != '"') ++p;
  dst.assign(start, p);
  return *p == '"' ? p + 1 : p;
}

const char* read_word(std::string& dst, const char* text) {
  dst.clear();
  if (!text) return nullptr;
  if (*text == '"') return read_quoted(dst, text);
  const char* p = text;
  while (signed_value(*p) > 32) ++p;
  dst.assign(text, p);
  return p;
}

const char* find_quoted(std::string& dst, const char* text) {
  dst.clear();
  const char* q = text ? std::strchr(text, '"') : nullptr;
  if (!q) return nullptr;
  return read_quoted(dst, q);
}

const char* find_quoted_outer(std::string& dst, const char* text) {
  dst.clear();
  const char* q = text ? std::strchr(text, '"') : nullptr;
  if (!q) return nullptr;
  const char* start = q + 1;
  const char* p = start;
  while (*p && !(*p == '"' && is_blank(p[1]))) ++p;
  dst.assign(start, p);
  return *p == '"' ? p + 1 : p;
}

const char* read_token(std::string& dst, const char* text) {
  dst.clear();
  if (!text) return nullptr;
  if (*text == '"') return read_quoted(dst, text);
  const char* p = text;
  while (!is_blank(*p)) ++p;
  dst.assign(text, p);
  if (p == text || *p == '\0') return nullptr;
  return p;
}

const char* next_token(std::string& dst, const char* text) {
  dst.clear();
  if (!text || !*text) return nullptr;
  const char* p = skip_blanks(text);
  if (!*p) return nullptr;
  return read_token(dst, p);
}

}  // namespace zun
