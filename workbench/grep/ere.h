// POSIX extended regular expressions, in the dialect the GNU C library reads
// in the C locale: read into a small tree, compiled into an automaton and run
// over a line with all its states at once, so that the time grows with the
// line times the automaton and never more. Every byte is one character; case
// is ignored for ASCII letters only.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zun::grep {

// ---- ere.cpp ----

using ByteSet = std::bitset<256>;

struct Node {
  enum class Kind : uint8_t { Set, Concat, Alt, Repeat, Assert };
  Kind kind = Kind::Concat;
  ByteSet set;                // Set: the bytes it matches
  std::vector<Node> kids;     // Concat, Alt; Repeat: one
  int min = 0, max = 0;       // Repeat; max -1: no upper bound
  char assertion = 0;         // Assert: '^' '$' 'b' 'B' '<' '>' '`' '\''
};

// The expression as a tree; without regard to case a letter stands for both.
// Nullopt with the reason in `error`: the C library's own text for the faults
// it reports too ("Unmatched ( or \\(", "Invalid range end", ...), and a text
// of its own for what has no linear-time match (back-references).
std::optional<Node> parse_ere(std::string_view pattern, bool ignore_case, std::string& error);

// ---- nfa.cpp ----

// The most instructions an automaton may have besides its end: one per
// character, set, assertion, alternative and repetition, a count making that
// many copies of what it repeats, so .{1000}.{1000} needs 2000 of them and
// (a{100}){100} is refused. Every character of a line visits each at most
// once: this bounds the time a line takes.
inline constexpr size_t max_instructions = 5000;

class Program {
 public:
  // With `whole_words` a match must have neither a letter, digit nor '_'
  // beside it. Nullopt with "Regular expression too big" in `error` when the
  // automaton would need more than `max_instructions`.
  static std::optional<Program> compile(const Node& root, bool whole_words, std::string& error);
  // Whether the expression matches anywhere in the line.
  bool search(std::string_view line) const;

 private:
  struct Inst {
    enum class Op : uint8_t { Byte, Split, Assert, Match };
    Op op = Op::Match;
    char assertion = 0;  // Assert: as in Node, or 'p' / 'f': not preceded / followed by a word character
    uint32_t next = 0;   // Byte, Assert: where to go on; Split: one way
    uint32_t other = 0;  // Split: the other way
    uint32_t set = 0;    // Byte: the bytes it takes, an index into sets_
  };
  // The states of one position, each once, in the order they were reached.
  struct StateSet {
    std::vector<uint32_t> dense, index;
    size_t size = 0;
    bool insert(uint32_t pc);
  };
  bool add(StateSet& states, uint32_t pc, uint8_t before, uint8_t after) const;
  static bool holds(char assertion, uint8_t before, uint8_t after);
  ByteSet first_bytes() const;

  std::vector<Inst> prog_;
  std::vector<ByteSet> sets_;  // each different set once: a few fit the cache
  uint32_t start_ = 0;
  // The bytes a match can begin with, assertions taken as true; all of them
  // when a match can be empty. A position with no state and another byte
  // is passed over.
  ByteSet first_;
  // Work space of search, kept to spare an allocation per line.
  mutable StateSet now_, then_;
  mutable std::vector<uint32_t> stack_;
  struct Builder;
};

}  // namespace zun::grep
