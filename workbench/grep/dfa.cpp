// The automaton of nfa.cpp run as a deterministic one built while it runs:
// each set of states a search meets becomes a state of its own, with a row of
// transitions filled in the first time a character takes it, so that a known
// path costs a table look-up per character. A block of lines is searched in
// one pass, each '\n' leading back to the start. The cache has a memory
// limit; when it is reached the search goes on with all states at once, line
// by line.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "workbench/grep/ere.h"

namespace zun::grep {

namespace {

// What a cached state takes besides its row and its key: the map's node and
// bucket and the pointer to the key.
constexpr size_t state_overhead = 96;

}  // namespace

size_t Program::KeyHash::operator()(const Key& key) const {
  uint64_t h = 14695981039346656037u;
  for (uint32_t v : key) h = (h ^ v) * 1099511628211u;
  return static_cast<size_t>(h);
}

// Bytes that every set takes or leaves alike and that are alike word
// characters or not lead from every state to the same state: they share a
// class, and the table has one column per class.
void Program::prepare_cache(size_t limit) {
  std::array<uint16_t, 256> of{};
  for (int c = 0; c < 256; ++c) of[c] = side_of(static_cast<unsigned char>(c)) == WordChar;
  size_t count = 2;
  std::vector<int> renumber;
  for (const ByteSet& set : sets_) {
    renumber.assign(2 * count, -1);
    size_t split = 0;
    for (size_t c = 0; c < 256; ++c) {
      int& to = renumber[2 * of[c] + set[c]];
      if (to < 0) to = static_cast<int>(split++);
      of[c] = static_cast<uint16_t>(to);
    }
    count = split;
  }
  dfa_.class_byte.assign(count, 0);
  for (int c = 255; c >= 0; --c) {
    dfa_.byte_class[c] = static_cast<uint8_t>(of[c]);
    dfa_.class_byte[of[c]] = static_cast<unsigned char>(c);
  }
  dfa_.stride = count + 1;
  // A line holds no '\n': in a block of lines it is the line's end.
  dfa_.byte_class['\n'] = static_cast<uint8_t>(count);
  dfa_.limit = limit;
  for (const Inst& i : prog_) sides_matter_ = sides_matter_ || i.op == Inst::Op::Assert;
  skip_ = !first_.all();
  first_finder_ = ByteFinder(first_);
  // Anchored when after a character the start takes no byte and is no match.
  dfa_.anchored = true;
  for (const uint8_t before : {WordChar, OtherChar})
    for (const uint8_t after : {LineEdge, WordChar, OtherChar}) {
      now_.size = 0;
      if (add(now_, start_, before, after)) dfa_.anchored = false;
      for (size_t s = 0; s < now_.size; ++s)
        if (prog_[now_.dense[s]].op == Inst::Op::Byte) dfa_.anchored = false;
    }
}

bool Program::search(std::string_view line) const {
  if (!dfa_.given_up) {
    const int32_t found = search_cached(line);
    if (found != full) return found == matched;
    // The line is searched again from its start, and so are those after it.
    give_up();
  }
  return search_all_states(line);
}

void Program::give_up() const {
  dfa_ = Dfa();
  dfa_.given_up = true;
}

// The states with nothing waiting, first in the cache; false when it has no
// room for them.
bool Program::start_cache() const {
  Dfa& d = dfa_;
  if (d.start != unknown) return true;
  d.work.assign(1, LineEdge);
  d.start = number(d.work);
  int32_t after_word = d.start, after_other = d.start;
  if (sides_matter_) {
    d.work.assign(1, WordChar);
    after_word = number(d.work);
    d.work.assign(1, OtherChar);
    after_other = number(d.work);
  }
  if (d.start == full || after_word == full || after_other == full) return false;
  for (size_t c = 0; c < 256; ++c)
    d.idle_after[c] = c == '\n' ? d.start : side_of(static_cast<unsigned char>(c)) == WordChar ? after_word : after_other;
  d.idle_end = static_cast<int32_t>(d.next.size());
  return true;
}

size_t Program::find(std::string_view text, size_t from) const {
  Dfa& d = dfa_;
  if (d.given_up) return find_by_lines(text, from);
  if (!start_cache()) {
    give_up();
    return find_by_lines(text, from);
  }
  const auto* base = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* p = base + from;
  const unsigned char* const end = base + text.size();
  auto start_of = [&](const unsigned char* at) { return line_start(text, from, static_cast<size_t>(at - base)); };
  const uint8_t* byte_class = d.byte_class.data();
  const int32_t* next = d.next.data();
  const int32_t idle_end = d.idle_end;
  int32_t row = d.start;
  // Passing over bytes pays when it passes over many at a time; where a match
  // may begin every few bytes it is left to the table.
  bool skip = skip_;
  size_t skips = 0, skipped = 0;
  for (;;) {
    if (skip && row < idle_end && p < end && !first_finder_.has(*p)) {
      const unsigned char* q = first_finder_.find(p + 1, end);
      row = d.idle_after[q[-1]];
      skipped += static_cast<size_t>(q - p);
      p = q;
      if (++skips % 1024 == 0) skip = skipped >= 16 * skips;
    }
    // Known states, not idle ones while they pass bytes over: a table
    // look-up per character.
    const int32_t stop = skip ? idle_end : 0;
    int32_t to = 0;
    while (p < end && (to = next[row + byte_class[*p]]) >= stop) {
      row = to;
      ++p;
    }
    if (p == end) return std::string_view::npos;
    if (to == unknown) {
      to = transition(row, byte_class[*p]);
      next = d.next.data();
    }
    if (to == matched) return start_of(p);
    if (to == full) {
      const size_t at = start_of(p);
      give_up();
      return find_by_lines(text, at);
    }
    if (to == unmatched) {  // nothing more in this line
      p = static_cast<const unsigned char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
      if (!p) return std::string_view::npos;
      to = d.start;
    }
    row = to;
    ++p;
  }
}

size_t Program::find_by_lines(std::string_view text, size_t from) const {
  while (from < text.size()) {
    const size_t end = text.find('\n', from);
    if (end == std::string_view::npos) return std::string_view::npos;
    if (search(text.substr(from, end - from))) return from;
    from = end + 1;
  }
  return std::string_view::npos;
}

// `matched`, `unmatched`, or `full` when the line needs a state the cache
// has no room for. A state is known by the offset of its row.
int32_t Program::search_cached(std::string_view line) const {
  Dfa& d = dfa_;
  if (!start_cache()) return full;
  const uint8_t* byte_class = d.byte_class.data();
  const int32_t* next = d.next.data();
  int32_t row = d.start;
  for (const char ch : line) {
    const uint8_t c = byte_class[static_cast<unsigned char>(ch)];
    int32_t to = next[row + c];
    if (to < 0) {
      if (to != unknown || (to = transition(row, c)) < 0) return to;
      next = d.next.data();
    }
    row = to;
  }
  int32_t to = next[row + d.stride - 1];
  if (to == unknown) to = transition(row, d.stride - 1);
  return to == matched ? matched : unmatched;
}

// Where the state of `row` goes on a byte of `byte_class`, the last column
// being the line's end: the instructions waiting and the start, closed over
// what takes no character now that the sides of the position are known, then
// moved over the byte. The row is filled in unless the cache is full.
int32_t Program::transition(int32_t row, size_t byte_class) const {
  Dfa& d = dfa_;
  const Key& key = *d.keys[static_cast<size_t>(row) / d.stride];
  const bool line_end = byte_class + 1 == d.stride;
  const unsigned char c = line_end ? 0 : d.class_byte[byte_class];
  const uint8_t before = static_cast<uint8_t>(key[0]);
  const uint8_t after = line_end ? LineEdge : side_of(c);
  // Without assertions the sides tell states apart for nothing.
  const uint8_t kept_side = sides_matter_ ? after : uint8_t{LineEdge};
  now_.size = 0;
  bool found = add(now_, start_, before, after);
  for (size_t k = 1; k < key.size() && !found; ++k) found = add(now_, key[k], before, after);
  int32_t to = found ? matched : line_end ? d.start : unmatched;
  if (!found && !line_end) {
    Key& moved = d.work;
    moved.assign(1, kept_side);
    then_.size = 0;
    for (size_t s = 0; s < now_.size; ++s) {
      const Inst& i = prog_[now_.dense[s]];
      if (i.op == Inst::Op::Byte && sets_[i.set][c] && then_.insert(i.next)) moved.push_back(i.next);
    }
    std::sort(moved.begin() + 1, moved.end());
    // A match must begin at the line's start: with nothing waiting there is
    // none left in the line.
    if (moved.size() > 1 || !d.anchored) to = number(moved);
    if (to == full) return full;
  }
  d.next[static_cast<size_t>(row) + byte_class] = to;
  return to;
}

// The row of the state `key`, cached now if it is new; `full` when it would
// take the cache beyond its limit.
int32_t Program::number(const Key& key) const {
  Dfa& d = dfa_;
  if (auto known = d.rows.find(key); known != d.rows.end()) return known->second;
  const size_t bytes = d.stride * sizeof(int32_t) + key.size() * sizeof(uint32_t) + state_overhead;
  if (bytes > d.limit - std::min(d.bytes, d.limit) || d.next.size() + d.stride > INT32_MAX) return full;
  d.bytes += bytes;
  const auto row = static_cast<int32_t>(d.next.size());
  d.keys.push_back(&d.rows.emplace(key, row).first->first);
  d.next.resize(d.next.size() + d.stride, unknown);
  return row;
}

}  // namespace zun::grep
