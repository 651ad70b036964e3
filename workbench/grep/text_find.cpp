// The scans that let grep and fgrep pass over most of a file without looking
// at its lines one by one: a fixed text, the bytes a match can begin with,
// and the line ends before a hit, for its number.
#include <algorithm>
#include <cstring>

#include "workbench/grep/ere.h"

namespace zun::grep {

namespace {

constexpr size_t block = 64;

bool is_letter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

unsigned char fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c; }

// The first of `block` flags that is set, or `block`.
size_t first_set(const unsigned char* flags) {
  uint64_t any = 0;
  for (size_t k = 0; k < block; k += 8) {
    uint64_t word;
    std::memcpy(&word, flags + k, 8);
    any |= word;
  }
  if (any == 0) return block;
  size_t k = 0;
  while (!flags[k]) ++k;
  return k;
}

}  // namespace

TextFinder::TextFinder(std::string_view text, bool ignore_case) : text_(text), ignore_case_(ignore_case) {
  if (ignore_case_)
    for (char& c : text_) c = static_cast<char>(fold(static_cast<unsigned char>(c)));
}

bool TextFinder::equal_at(const unsigned char* p) const {
  if (!ignore_case_) return std::memcmp(p, text_.data(), text_.size()) == 0;
  for (size_t k = 0; k < text_.size(); ++k)
    if (fold(p[k]) != static_cast<unsigned char>(text_[k])) return false;
  return true;
}

size_t TextFinder::find(std::string_view text, size_t from) const {
  const size_t m = text_.size();
  if (from > text.size() || text.size() - from < m) return std::string_view::npos;
  if (m == 0) return from;
  if (m == 1 && !ignore_case_) {
    const void* at = std::memchr(text.data() + from, text_[0], text.size() - from);
    return at ? static_cast<size_t>(static_cast<const char*>(at) - text.data()) : std::string_view::npos;
  }
  // A letter and its capital differ in the bit 0x20 alone.
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto first = static_cast<unsigned char>(text_.front()), last = static_cast<unsigned char>(text_.back());
  const unsigned char first_bit = ignore_case_ && is_letter(first) ? 0x20 : 0;
  const unsigned char last_bit = ignore_case_ && is_letter(last) ? 0x20 : 0;
  const size_t stop = text.size() - m + 1;  // the last place the text may begin, plus one
  size_t at = from;
  for (; stop - at >= block; at += block) {
    const unsigned char* p = t + at;
    const unsigned char* q = p + m - 1;
    unsigned char flags[block];
    for (size_t k = 0; k < block; ++k) flags[k] = ((p[k] | first_bit) == first) & ((q[k] | last_bit) == last);
    for (size_t k = first_set(flags); k < block; ++k)
      if (flags[k] && equal_at(p + k)) return at + k;
  }
  for (; at < stop; ++at)
    if (equal_at(t + at)) return at;
  return std::string_view::npos;
}

ByteFinder::ByteFinder(const ByteSet& set) {
  size_t ranges = 0;
  for (size_t c = 0; c < 256; ++c) {
    in_[c] = set[c];
    count_ += set[c];
    if (!set[c] || (c > 0 && set[c - 1])) continue;
    size_t last = c;
    while (last + 1 < 256 && set[last + 1]) ++last;
    if (ranges < low_.size()) {
      low_[ranges] = static_cast<unsigned char>(c);
      width_[ranges] = static_cast<unsigned char>(last - c);
    }
    ++ranges;
  }
  // Unused ranges repeat the first, so that they find nothing new.
  ranges_ = ranges <= low_.size();
  for (size_t k = std::max<size_t>(ranges, 1); ranges_ && k < low_.size(); ++k) {
    low_[k] = low_[0];
    width_[k] = width_[0];
  }
}

const unsigned char* ByteFinder::find(const unsigned char* p, const unsigned char* end) const {
  if (count_ == 0) return end;
  if (count_ == 1) {
    const void* at = std::memchr(p, low_[0], static_cast<size_t>(end - p));
    return at ? static_cast<const unsigned char*>(at) : end;
  }
  // The next byte is often near: a few look-ups first.
  for (const unsigned char* near = p + std::min<size_t>(16, static_cast<size_t>(end - p)); p < near; ++p)
    if (in_[*p]) return p;
  if (ranges_) {
    const unsigned char l0 = low_[0], l1 = low_[1], l2 = low_[2], l3 = low_[3];
    const unsigned char w0 = width_[0], w1 = width_[1], w2 = width_[2], w3 = width_[3];
    for (; static_cast<size_t>(end - p) >= block; p += block) {
      unsigned char flags[block];
      for (size_t k = 0; k < block; ++k)
        flags[k] = (static_cast<unsigned char>(p[k] - l0) <= w0) | (static_cast<unsigned char>(p[k] - l1) <= w1) |
                   (static_cast<unsigned char>(p[k] - l2) <= w2) | (static_cast<unsigned char>(p[k] - l3) <= w3);
      if (size_t k = first_set(flags); k < block) return p + k;
    }
  }
  while (p < end && !in_[*p]) ++p;
  return p;
}

size_t count_line_ends(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  size_t n = 0;
  for (; static_cast<size_t>(end - p) >= block; p += block) {
    unsigned char count = 0;
    for (size_t k = 0; k < block; ++k) count += p[k] == '\n';
    n += count;
  }
  for (; p < end; ++p) n += *p == '\n';
  return n;
}

size_t line_start(std::string_view text, size_t low, size_t at) {
  while (at > low && text[at - 1] != '\n') --at;
  return at;
}

}  // namespace zun::grep
