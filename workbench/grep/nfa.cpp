// The expression tree compiled into a Thompson automaton and run over one
// line with all its states at once: every position visits each instruction at
// most once, so a line costs its length times the automaton's size at worst,
// whatever the expression. An assertion looks at the characters on both sides
// of its position, as \< and \> need.
#include "workbench/grep/ere.h"

#include <utility>

namespace zun::grep {

Side side_of(unsigned char c) {
  const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  return word ? WordChar : OtherChar;
}

// Compiles from the end backwards: each node is given the instruction that
// follows it and returns its own first one.
struct Program::Builder {
  std::vector<Inst>& prog;
  std::vector<ByteSet>& sets;
  std::unordered_map<ByteSet, uint32_t> set_index = {};
  size_t limit = 0;  // the size the program may reach
  bool too_big = false;

  uint32_t emit(const Inst& inst) {
    if (prog.size() >= limit) {
      too_big = true;
      return 0;
    }
    prog.push_back(inst);
    return static_cast<uint32_t>(prog.size() - 1);
  }

  uint32_t split(uint32_t one, uint32_t other) {
    Inst i;
    i.op = Inst::Op::Split;
    i.next = one;
    i.other = other;
    return emit(i);
  }

  uint32_t node(const Node& n, uint32_t next) {
    switch (n.kind) {
      case Node::Kind::Set: {
        Inst i;
        i.op = Inst::Op::Byte;
        auto [it, added] = set_index.try_emplace(n.set, static_cast<uint32_t>(sets.size()));
        if (added) sets.push_back(n.set);
        i.set = it->second;
        i.next = next;
        return emit(i);
      }
      case Node::Kind::Assert: {
        Inst i;
        i.op = Inst::Op::Assert;
        i.assertion = n.assertion;
        i.next = next;
        return emit(i);
      }
      case Node::Kind::Concat:
        for (size_t k = n.kids.size(); k-- > 0 && !too_big;) next = node(n.kids[k], next);
        return next;
      case Node::Kind::Alt: {
        uint32_t entry = node(n.kids.back(), next);
        for (size_t k = n.kids.size() - 1; k-- > 0 && !too_big;) entry = split(node(n.kids[k], next), entry);
        return entry;
      }
      case Node::Kind::Repeat:
        return repeat(n, next);
    }
    return 0;
  }

  // X{m,n} as m copies of X followed by n-m nested optional ones,
  // X{m,} as m copies followed by a loop. An X without instructions, as in
  // (a{0}){1000}, is not copied at all, so that nesting such counts costs
  // no time.
  uint32_t repeat(const Node& n, uint32_t next) {
    const Node& kid = n.kids[0];
    uint32_t entry = next;
    if (n.max == -1) {
      entry = split(0, next);
      uint32_t body = node(kid, entry);
      if (too_big) return 0;
      prog[entry].next = body;
    }
    for (int k = n.min; k < n.max && !too_big; ++k) {
      const size_t size = prog.size();
      uint32_t body = node(kid, entry);
      if (prog.size() == size) break;
      entry = split(body, next);
    }
    for (int k = 0; k < n.min && !too_big; ++k) {
      const size_t size = prog.size();
      entry = node(kid, entry);
      if (prog.size() == size) break;
    }
    return entry;
  }
};

std::optional<Program> Program::compile(const Node& root, bool whole_words, std::string& error,
                                        size_t cache_bytes) {
  Program p;
  Builder b{p.prog_, p.sets_};
  auto frame = [&](char assertion, uint32_t next) {
    Inst i;
    i.op = Inst::Op::Assert;
    i.assertion = assertion;
    i.next = next;
    p.prog_.push_back(i);
    return static_cast<uint32_t>(p.prog_.size() - 1);
  };
  // The end and the whole-word frame are no part of the expression's size.
  p.prog_.push_back(Inst{});
  uint32_t next = whole_words ? frame('f', 0) : 0;
  b.limit = p.prog_.size() + max_instructions;
  p.start_ = b.node(root, next);
  if (b.too_big) {
    error = "Regular expression too big";
    return std::nullopt;
  }
  if (whole_words) p.start_ = frame('p', p.start_);
  for (StateSet* s : {&p.now_, &p.then_}) {
    s->dense.resize(p.prog_.size());
    s->index.assign(p.prog_.size(), 0);
  }
  p.first_ = p.first_bytes();
  p.prepare_cache(cache_bytes);
  return p;
}

ByteSet Program::first_bytes() const {
  ByteSet first;
  StateSet& seen = now_;
  seen.size = 0;
  stack_.assign(1, start_);
  while (!stack_.empty()) {
    const uint32_t pc = stack_.back();
    stack_.pop_back();
    if (!seen.insert(pc)) continue;
    const Inst& i = prog_[pc];
    switch (i.op) {
      case Inst::Op::Byte: first |= sets_[i.set]; break;
      case Inst::Op::Match: return ByteSet().set();
      case Inst::Op::Split: stack_.push_back(i.other); [[fallthrough]];
      case Inst::Op::Assert: stack_.push_back(i.next); break;
    }
  }
  return first;
}

bool Program::StateSet::insert(uint32_t pc) {
  uint32_t at = index[pc];
  if (at < size && dense[at] == pc) return false;
  index[pc] = static_cast<uint32_t>(size);
  dense[size++] = pc;
  return true;
}

bool Program::holds(char assertion, uint8_t before, uint8_t after) {
  switch (assertion) {
    case '^': case '`': return before == LineEdge;
    case '$': case '\'': return after == LineEdge;
    case 'b': return (before == WordChar) != (after == WordChar);
    case 'B': return (before == WordChar) == (after == WordChar);
    case '<': return before != WordChar && after == WordChar;
    case '>': return before == WordChar && after != WordChar;
    case 'p': return before != WordChar;
    case 'f': return after != WordChar;
  }
  return false;
}

// Adds `pc` and every state it reaches without taking a character, at a
// position with `before` and `after` on its sides; true when one of them is
// the match.
bool Program::add(StateSet& states, uint32_t pc, uint8_t before, uint8_t after) const {
  stack_.clear();
  stack_.push_back(pc);
  while (!stack_.empty()) {
    pc = stack_.back();
    stack_.pop_back();
    if (!states.insert(pc)) continue;
    const Inst& i = prog_[pc];
    switch (i.op) {
      case Inst::Op::Byte: break;
      case Inst::Op::Match: return true;
      case Inst::Op::Split:
        stack_.push_back(i.other);
        stack_.push_back(i.next);
        break;
      case Inst::Op::Assert:
        if (holds(i.assertion, before, after)) stack_.push_back(i.next);
        break;
    }
  }
  return false;
}

// A match may begin at every position, so the start joins the states of
// each one.
bool Program::search_all_states(std::string_view line) const {
  const size_t n = line.size();
  auto at = [&](size_t k) { return static_cast<unsigned char>(line[k]); };
  const Inst* prog = prog_.data();
  StateSet* now = &now_;
  StateSet* then = &then_;
  now->size = 0;
  for (size_t k = 0;; ++k) {
    while (now->size == 0 && k < n && !first_[at(k)]) ++k;
    const uint8_t before = k == 0 ? LineEdge : side_of(at(k - 1));
    const uint8_t after = k == n ? LineEdge : side_of(at(k));
    if (add(*now, start_, before, after)) return true;
    if (k == n) return false;
    const uint8_t next_after = k + 1 == n ? LineEdge : side_of(at(k + 1));
    const unsigned char c = at(k);
    then->size = 0;
    for (size_t s = 0, size = now->size; s < size; ++s) {
      const Inst& i = prog[now->dense[s]];
      if (i.op != Inst::Op::Byte || !sets_[i.set][c]) continue;
      // Most characters are followed by another: no closure to walk.
      if (prog[i.next].op == Inst::Op::Byte)
        then->insert(i.next);
      else if (add(*then, i.next, after, next_after))
        return true;
    }
    std::swap(now, then);
  }
}

}  // namespace zun::grep
