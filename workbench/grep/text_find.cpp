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
  ranges_ = ranges <= low_.size() ? ranges : 0;
}

// The first byte in one of N ranges, 16 places at a time: bytes to pass over
// are often few, so that a larger piece would be compared for nothing.
template <size_t N>
const unsigned char* find_in_ranges(const unsigned char* p, const unsigned char* end, const unsigned char* lows,
                                    const unsigned char* widths) {
  constexpr size_t piece = 16;
  std::array<unsigned char, N> low, width;
  std::copy_n(lows, N, low.begin());
  std::copy_n(widths, N, width.begin());
  for (; static_cast<size_t>(end - p) >= piece; p += piece) {
    unsigned char flags[piece];
    for (size_t k = 0; k < piece; ++k) {
      const unsigned char c = p[k];
      bool in = false;
      for (size_t r = 0; r < N; ++r) in = in | (static_cast<unsigned char>(c - low[r]) <= width[r]);
      flags[k] = in;
    }
    uint64_t words[2];
    std::memcpy(words, flags, piece);
    if ((words[0] | words[1]) == 0) continue;
    for (size_t k = 0;; ++k)
      if (flags[k]) return p + k;
  }
  return p;
}

const unsigned char* ByteFinder::find(const unsigned char* p, const unsigned char* end) const {
  if (count_ == 0) return end;
  if (count_ == 1) {
    const void* at = std::memchr(p, low_[0], static_cast<size_t>(end - p));
    return at ? static_cast<const unsigned char*>(at) : end;
  }
  switch (ranges_) {
    case 1: p = find_in_ranges<1>(p, end, low_.data(), width_.data()); break;
    case 2: p = find_in_ranges<2>(p, end, low_.data(), width_.data()); break;
    case 3: p = find_in_ranges<3>(p, end, low_.data(), width_.data()); break;
    case 4: p = find_in_ranges<4>(p, end, low_.data(), width_.data()); break;
    default: break;
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
