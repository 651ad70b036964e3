// Find/replace histories and the round over all open documents.
#include "workbench/editor/find_state.h"

#include <algorithm>

namespace zun::wb {

// A long text is compared as it is kept, so pushing it twice keeps one entry.
void FindHistory::push(std::string_view text) {
  std::string kept(text.substr(0, max_chars));
  if (!entries_.empty() && entries_.front() == kept) return;
  entries_.insert(entries_.begin(), std::move(kept));
  if (entries_.size() > max_entries) entries_.pop_back();
}

void DocumentRound::begin(Key active, std::string_view text) {
  if (start_ && current_ == active && text_ == text) return;
  start_ = current_ = active;
  text_ = std::string(text);
}

DocumentRound::Key DocumentRound::advance(std::span<const Key> open) {
  // A round whose start or present document was closed meanwhile is over.
  auto at = std::find(open.begin(), open.end(), current_);
  if (!start_ || at == open.end() || std::find(open.begin(), open.end(), start_) == open.end()) return nullptr;
  auto next = std::next(at) == open.end() ? open.begin() : std::next(at);
  if (*next == start_) return nullptr;
  current_ = *next;
  return current_;
}

void DocumentRound::reset() {
  start_ = current_ = nullptr;
  text_.clear();
}

}  // namespace zun::wb
