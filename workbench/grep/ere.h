// POSIX extended regular expressions, in the dialect the GNU C library reads
// in the C locale: read into a small tree, compiled into an automaton and run
// over a line with all its states at once, so that the time grows with the
// line times the automaton and never more. The sets of states met are cached
// as a deterministic automaton, so that a line the cache knows costs a table
// look-up per character. Every byte is one character; case is ignored for
// ASCII letters only.
#pragma once

#include <array>
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

// What lies on one side of a position, all that assertions look at.
enum Side : uint8_t { LineEdge, WordChar, OtherChar };
Side side_of(unsigned char c);

// ---- dfa.cpp ----

// The memory the cached sets of states may take in one search; beyond it the
// search goes on with all states at once.
inline constexpr size_t dfa_cache_bytes = 2 << 20;

class Program {
 public:
  // With `whole_words` a match must have neither a letter, digit nor '_'
  // beside it. Nullopt with "Regular expression too big" in `error` when the
  // automaton would need more than `max_instructions`.
  static std::optional<Program> compile(const Node& root, bool whole_words, std::string& error,
                                        size_t cache_bytes = dfa_cache_bytes);
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
  bool search_all_states(std::string_view line) const;

  // A cached state is the side of the character before a position and the
  // instructions waiting there before their assertions are resolved, in
  // order, the side first; an assertion needs the character after as well,
  // which is the one the transition takes.
  using Key = std::vector<uint32_t>;
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };
  // Entries of `next` other than a state's row.
  static constexpr int32_t unknown = -1, matched = -2, unmatched = -3, full = -4;
  struct Dfa {
    std::array<uint8_t, 256> byte_class{};  // bytes no set and no assertion tell apart share one
    std::vector<unsigned char> class_byte;  // a byte of each class
    size_t stride = 0;                      // the classes and the line's end
    std::unordered_map<Key, int32_t, KeyHash> rows;
    std::vector<const Key*> keys;  // by row / stride
    std::vector<int32_t> next;     // each state's row: by class, the state it goes to
    int32_t start = unknown;       // nothing waiting at the line's start
    bool anchored = false;         // a match begins at the line's start or nowhere
    size_t bytes = 0, limit = 0;   // the memory taken and the most it may take
    bool given_up = false;         // the cache filled up: all states from here on
    Key work;                      // the state a transition reaches
  };
  void prepare_cache(size_t limit);
  int32_t search_cached(std::string_view line) const;
  int32_t transition(int32_t row, size_t byte_class) const;
  int32_t number(const Key& key) const;

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
  mutable Dfa dfa_;
  struct Builder;
};

}  // namespace zun::grep
