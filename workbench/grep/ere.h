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

// A text every match holds, found cheaply: the longest run of single
// characters in the expression's top sequence (assertions take no room, so
// they do not break a run). A letter whose set holds both of its cases is
// given in small letters and `any_case` is set. Empty when there is none.
std::string required_text(const Node& root, bool& any_case);

// ---- text_find.cpp ----

// Finds a fixed text in a block of lines: its first and last bytes are
// compared at 64 places at once (loops the compiler makes vector
// instructions of), the whole text only where both agree; a letter without
// regard to case. One byte is left to memchr.
class TextFinder {
 public:
  TextFinder() = default;
  TextFinder(std::string_view text, bool ignore_case);
  // Where the text first begins at or after `from`, or npos.
  size_t find(std::string_view block, size_t from) const;
  size_t size() const { return text_.size(); }

 private:
  bool equal_at(const unsigned char* p) const;
  std::string text_;  // in small letters when case is ignored
  bool ignore_case_ = false;
};

// Finds the next byte of a set: memchr for one byte, a comparison with up to
// four ranges of bytes at 64 places at once, a table look-up per byte for
// more.
class ByteFinder {
 public:
  ByteFinder() = default;
  explicit ByteFinder(const ByteSet& set);
  // The first byte of the set in [p, end), or `end`.
  const unsigned char* find(const unsigned char* p, const unsigned char* end) const;
  bool has(unsigned char c) const { return in_[c]; }

 private:
  std::array<bool, 256> in_{};
  size_t count_ = 0;
  size_t ranges_ = 0;  // the set as at most four ranges [low, low + width], or 0
  std::array<unsigned char, 4> low_{}, width_{};
};

// The number of '\n' in a block, 64 bytes at a time.
size_t count_line_ends(std::string_view block);

// Where the line that holds the place `at` begins: after the last '\n'
// before it, or at `low` when there is none from `low` on.
size_t line_start(std::string_view block, size_t low, size_t at);

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
  // Whether the expression matches anywhere in the line, which holds no '\n'.
  bool search(std::string_view line) const;
  // In a block of lines, each ended by a '\n': where the first line at or
  // after `from` (a line's start) that the expression matches begins, or
  // npos. A line of the block costs a table look-up per character, and less
  // where no match can begin.
  size_t find(std::string_view block, size_t from) const;

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
  size_t find_by_lines(std::string_view block, size_t from) const;

  // A cached state is the side of the character before a position and the
  // instructions waiting there before their assertions are resolved, in
  // order, the side first; an assertion needs the character after as well,
  // which is the one the transition takes.
  using Key = std::vector<uint32_t>;
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };
  // Entries of `next` other than a state's row. The line's end leads to
  // `matched` or to the start of the next line, never to `unmatched`.
  static constexpr int32_t unknown = -1, matched = -2, unmatched = -3, full = -4;
  struct Dfa {
    std::array<uint8_t, 256> byte_class{};  // bytes no set and no assertion tell apart share one;
                                            // '\n' is the line's end
    std::vector<unsigned char> class_byte;  // a byte of each class
    size_t stride = 0;                      // the classes and the line's end
    std::unordered_map<Key, int32_t, KeyHash> rows;
    std::vector<const Key*> keys;  // by row / stride
    std::vector<int32_t> next;     // each state's row: by class, the state it goes to
    int32_t start = unknown;       // nothing waiting at the line's start
    // The states with nothing waiting come first: below `idle_end`. In them
    // a byte no match begins with leads to another of them, by the side of
    // the byte, so such bytes are passed over at once.
    int32_t idle_end = 0;
    std::array<int32_t, 256> idle_after{};  // the state with nothing waiting after a byte
    bool anchored = false;         // a match begins at the line's start or nowhere
    size_t bytes = 0, limit = 0;   // the memory taken and the most it may take
    bool given_up = false;         // the cache filled up: all states from here on
    Key work;                      // the state a transition reaches
  };
  void prepare_cache(size_t limit);
  bool start_cache() const;
  void give_up() const;
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
  ByteFinder first_finder_;      // finds them
  bool skip_ = false;            // some bytes begin no match: the idle states pass them over
  bool sides_matter_ = false;    // the expression has assertions
  // Work space of search, kept to spare an allocation per line.
  mutable StateSet now_, then_;
  mutable std::vector<uint32_t> stack_;
  mutable Dfa dfa_;
  struct Builder;
};

}  // namespace zun::grep
