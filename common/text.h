// Text scanners and copying readers over NUL-terminated 8-bit text.
// Scanners return a position inside the text they were given (or null, as each
// says); readers copy into a std::string and return the position they reached.
// "Blank" is every byte whose value as a signed 8-bit number is at most 32:
// control characters, the space and every byte from 128 to 255.
#pragma once

#include <string>
#include <string_view>

namespace zun {

bool is_blank(char c);
// ASCII letter, ASCII digit or '_'.
bool is_ident_char(char c);
// Equal texts, ignoring ASCII case.
bool equal_nocase(std::string_view a, std::string_view b);

// The first non-blank character (or the NUL); null for a null text.
const char* skip_blanks(const char* text);
// The first blank (or the NUL) behind a run of non-blanks; null for a null text.
const char* skip_word(const char* text);
// The first character that is neither blank nor ','; null when the text ends first.
const char* skip_blanks_commas(const char* text);
// The first identifier character; null when there is none.
const char* find_ident_start(const char* text);
// True when the word at the text equals `word` ignoring ASCII case and both end
// there (the next characters of both are below 33): "ORG  x" matches "org",
// "orgx" does not.
bool word_eq_nocase(const char* text, const char* word);
// True when the line has at least 2 characters and ends in '\' followed by
// "\n" or "\r\n".
bool is_continued_line(const char* line);

// Copies up to the NUL or the first '\n' (a CR right before that '\n' is not
// copied either); a null source gives an empty string.
void copy_line(std::string& dst, const char* src);
// As copy_line, then a trailing '\' is removed.
void copy_line_nocont(std::string& dst, const char* src);
// As copy_line_nocont, appended to what dst already holds.
void append_line_nocont(std::string& dst, const char* src);

// The run of identifier characters; a null source gives "" and null.
const char* copy_ident(std::string& dst, const char* src);
// As copy_ident for a source that is known not to be null.
const char* take_ident(std::string& dst, const char* src);
// The run of identifier characters and '='.
const char* copy_ident_eq(std::string& dst, const char* src);
// Skips spaces and TABs only, then take_ident / copy_ident_eq.
const char* next_ident(std::string& dst, const char* src);
const char* next_ident_eq(std::string& dst, const char* src);

// "text": when the text begins with '"' and something other than the NUL
// follows, copies up to the next '"' or the NUL and steps past a closing quote.
// Returns behind the closing quote, at the NUL when unclosed, one past a lone
// opening quote, or the text itself when it does not begin with '"'.
const char* read_quoted(std::string& dst, const char* text);
// A quoted text as read_quoted, else the run of characters above 32 (signed);
// returns the character that stopped the run.
const char* read_word(std::string& dst, const char* text);
// From the first '"' on as read_quoted; no quote at all: "" and null.
const char* find_quoted(std::string& dst, const char* text);
// From the first '"' up to a '"' that is followed by a blank or the end; other
// quotes are copied: "a"b" c gives a"b. No quote at all: "" and null.
const char* find_quoted_outer(std::string& dst, const char* text);
// A quoted text as read_quoted (its result returned); else the run of
// non-blanks. Null when nothing was copied or the run ends at the end of the
// text, else the blank that ended it: a null result after a non-empty token
// means it was the last one.
const char* read_token(std::string& dst, const char* text);
// Null for an empty text or one of blanks only; else read_token after the blanks.
const char* next_token(std::string& dst, const char* text);

}  // namespace zun
