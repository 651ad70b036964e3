// The find/replace state of the workbench (one for all editors): texts,
// switches, the two histories, and the round of a search over all open
// documents. No window system; documents are known by an opaque key.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zun::wb {

// Most recent first; at most 16 entries of at most 31 characters.
class FindHistory {
 public:
  static constexpr size_t max_entries = 16;
  static constexpr size_t max_chars = 31;
  // Nothing happens when the text (as it would be kept) is entry 0.
  void push(std::string_view text);
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
};

// A search over all open documents starts in the active one and, after a
// miss there, goes on in every other open document once, in opening order
// and round the end of the list, before it comes back where it began.
class DocumentRound {
 public:
  using Key = const void*;
  // Before a search in `active`: a new text, or a document other than the
  // one searched last, starts a new round there.
  void begin(Key active, std::string_view text);
  // After a miss in the present document: the next one to search among the
  // open ones (in opening order), or null when the round is over.
  Key advance(std::span<const Key> open);
  Key start() const { return start_; }
  void reset();

 private:
  Key start_ = nullptr;
  Key current_ = nullptr;
  std::string text_;
};

struct FindState {
  std::string find_text;
  std::string replace_text;
  bool match_case = false;
  bool whole_word = false;
  bool search_up = false;
  bool all_documents = false;
  FindHistory find_history;
  FindHistory replace_history;
  DocumentRound round;

  void history_push_find(std::string_view text) { find_history.push(text); }
  void history_push_replace(std::string_view text) { replace_history.push(text); }
};

}  // namespace zun::wb
