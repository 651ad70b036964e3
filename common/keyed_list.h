// Keyed lists: a table of lists addressed by a numeric id, each with an
// iteration cursor. One table object per program (or per owner); ids are
// consecutive from the first id given to the constructor. An id outside the
// table does nothing and yields nullptr.
//
// Iteration is rewind(id), then next(id) until nullptr. The cursor has already
// moved past the element next() returned, so removing that element during an
// iteration is safe; removing the element under the cursor moves the cursor on.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace zun {

template <class T>
class KeyedLists {
 public:
  KeyedLists(uint32_t first_id, size_t count) : first_id_(first_id), lists_(count) {
    for (Entry& e : lists_) e.cursor = e.items.end();
  }

  uint32_t first_id() const { return first_id_; }
  size_t count() const { return lists_.size(); }

  // The list itself (for direct reading); nullptr for an unknown id.
  const std::list<T>* items(uint32_t id) const {
    const Entry* e = entry(id);
    return e ? &e->items : nullptr;
  }

  void rewind(uint32_t id) {
    if (Entry* e = entry(id)) e->cursor = e->items.begin();
  }

  // The element at the cursor, the cursor moving on; nullptr at the end, for an
  // unknown id, or after clear() without a rewind().
  T* next(uint32_t id) {
    Entry* e = entry(id);
    if (!e || e->cursor == e->items.end()) return nullptr;
    T* item = &*e->cursor;
    ++e->cursor;
    return item;
  }

  // rewind() then next(): the first element, nullptr for an empty list.
  T* first(uint32_t id) {
    rewind(id);
    return next(id);
  }

  // Appends at the tail and returns the stored element; nullptr for an unknown id.
  T* append(uint32_t id, T item) {
    Entry* e = entry(id);
    if (!e) return nullptr;
    e->items.push_back(std::move(item));
    return &e->items.back();
  }

  // Removes the first element whose address is `item`; true when one was removed.
  bool remove(uint32_t id, const T* item) {
    Entry* e = entry(id);
    if (!e || !item) return false;
    for (auto it = e->items.begin(); it != e->items.end(); ++it) {
      if (&*it != item) continue;
      if (e->cursor == it) ++e->cursor;
      e->items.erase(it);
      return true;
    }
    return false;
  }

  void clear(uint32_t id) {
    if (Entry* e = entry(id)) {
      e->items.clear();
      e->cursor = e->items.end();
    }
  }

  // Clears every list whose id lies in first..last (inclusive).
  void clear_range(uint32_t first, uint32_t last) {
    for (uint32_t id = first; id >= first && id <= last; ++id) clear(id);
  }

  void clear_all() {
    for (size_t i = 0; i < lists_.size(); ++i) clear(first_id_ + static_cast<uint32_t>(i));
  }

  // String lists: appends a copy unless the text is null, empty or already in
  // the list (case-sensitive). True when it was appended.
  bool add_unique(uint32_t id, std::string_view text)
    requires std::same_as<T, std::string>
  {
    Entry* e = entry(id);
    if (!e || text.empty()) return false;
    for (const std::string& s : e->items)
      if (s == text) return false;
    e->items.emplace_back(text);
    return true;
  }
  bool add_unique(uint32_t id, const char* text)
    requires std::same_as<T, std::string>
  {
    return text ? add_unique(id, std::string_view(text)) : false;
  }

 private:
  struct Entry {
    std::list<T> items;
    typename std::list<T>::iterator cursor;
  };

  Entry* entry(uint32_t id) {
    if (id < first_id_ || id - first_id_ >= lists_.size()) return nullptr;
    return &lists_[id - first_id_];
  }
  const Entry* entry(uint32_t id) const {
    if (id < first_id_ || id - first_id_ >= lists_.size()) return nullptr;
    return &lists_[id - first_id_];
  }

  uint32_t first_id_;
  std::vector<Entry> lists_;
};

}  // namespace zun
