// Keyed lists, the doubly linked node helpers and the directive lookup.
#include "common/keyed_list.h"

#include <gtest/gtest.h>

#include "common/directive.h"
#include "common/object_node.h"

namespace zun {
namespace {

std::vector<std::string> contents(KeyedLists<std::string>& lists, uint32_t id) {
  std::vector<std::string> out;
  lists.rewind(id);
  while (std::string* s = lists.next(id)) out.push_back(*s);
  return out;
}

using Strings = std::vector<std::string>;

TEST(CommonKeyedList, AddUniqueKeepsOrderAndIgnoresEmpty) {
  KeyedLists<std::string> lists(1001, 6);
  EXPECT_TRUE(lists.add_unique(1003, "inc"));
  EXPECT_FALSE(lists.add_unique(1003, "inc"));
  EXPECT_FALSE(lists.add_unique(1003, ""));
  EXPECT_FALSE(lists.add_unique(1003, static_cast<const char*>(nullptr)));
  EXPECT_TRUE(lists.add_unique(1003, "abc"));
  EXPECT_TRUE(lists.add_unique(1003, std::string("ABC")));  // case-sensitive
  EXPECT_EQ(contents(lists, 1003), (Strings{"inc", "abc", "ABC"}));
  EXPECT_EQ(contents(lists, 1004), Strings{});
  EXPECT_EQ(*lists.first(1003), "inc");
  EXPECT_EQ(lists.first(1004), nullptr);
}

TEST(CommonKeyedList, UnknownIdsDoNothing) {
  KeyedLists<std::string> lists(1001, 6);
  EXPECT_FALSE(lists.add_unique(1000, "x"));
  EXPECT_FALSE(lists.add_unique(1007, "x"));
  EXPECT_EQ(lists.append(1007, "x"), nullptr);
  EXPECT_EQ(lists.next(1007), nullptr);
  EXPECT_EQ(lists.items(1007), nullptr);
  lists.rewind(1007);
  lists.clear(1007);
  EXPECT_FALSE(lists.remove(1007, nullptr));
}

TEST(CommonKeyedList, RemovingDuringIterationIsSafe) {
  KeyedLists<std::string> lists(1001, 27);
  for (const char* s : {"a", "b", "c", "d"}) lists.append(1027, s);
  // Drop every element just returned, the way the debugger empties its modules.
  lists.rewind(1027);
  int seen = 0;
  while (std::string* s = lists.next(1027)) {
    ++seen;
    if (*s != "c") {
      EXPECT_TRUE(lists.remove(1027, s));
    }
  }
  EXPECT_EQ(seen, 4);
  EXPECT_EQ(contents(lists, 1027), (Strings{"c"}));

  // Removing the element under the cursor moves the cursor on.
  for (const char* s : {"d", "e"}) lists.append(1027, s);
  lists.rewind(1027);
  std::string* c = lists.next(1027);
  const std::string* d = nullptr;
  for (const std::string& s : *lists.items(1027))
    if (s == "d") d = &s;
  EXPECT_TRUE(lists.remove(1027, d));
  ASSERT_NE(c, nullptr);
  std::string* next = lists.next(1027);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(*next, "e");
  EXPECT_EQ(lists.next(1027), nullptr);
}

TEST(CommonKeyedList, RemoveHeadOnlyAndForeign) {
  KeyedLists<std::string> lists(1001, 2);
  std::string* a = lists.append(1001, "a");
  lists.append(1001, "b");
  std::string* other = lists.append(1002, "a");
  EXPECT_FALSE(lists.remove(1001, other));  // identity, not equality
  EXPECT_TRUE(lists.remove(1001, a));
  EXPECT_EQ(contents(lists, 1001), (Strings{"b"}));
  lists.rewind(1001);
  EXPECT_TRUE(lists.remove(1001, lists.next(1001)));
  EXPECT_TRUE(lists.items(1001)->empty());
  EXPECT_FALSE(lists.remove(1001, nullptr));
}

TEST(CommonKeyedList, ClearLeavesCursorAtEnd) {
  KeyedLists<std::string> lists(1001, 27);
  for (uint32_t id = 1001; id <= 1027; ++id) lists.add_unique(id, "x");
  lists.rewind(1005);
  lists.clear(1005);
  EXPECT_EQ(lists.next(1005), nullptr);  // no rewind after clear: nothing
  lists.add_unique(1005, "y");
  EXPECT_EQ(lists.next(1005), nullptr);
  lists.clear_range(1003, 1008);
  for (uint32_t id = 1003; id <= 1008; ++id) EXPECT_TRUE(lists.items(id)->empty()) << id;
  EXPECT_EQ(lists.items(1009)->size(), 1u);
  EXPECT_EQ(lists.items(1002)->size(), 1u);
  lists.clear_all();
  for (uint32_t id = 1001; id <= 1027; ++id) EXPECT_TRUE(lists.items(id)->empty()) << id;
}

struct Seg {
  int id;
  Seg* next = nullptr;
  Seg* prev = nullptr;
};

std::vector<int> ids(Seg* head) {
  std::vector<int> out;
  Seg* last = nullptr;
  for (Seg* s = head; s; s = s->next) {
    EXPECT_EQ(s->prev, last);
    last = s;
    out.push_back(s->id);
  }
  return out;
}

TEST(CommonObjectNode, AppendInsertUnlink) {
  Seg a{1}, b{2}, c{3}, d{4};
  Seg* head = nullptr;
  node_append(head, &a);
  node_append(head, &b);
  node_insert_before(head, &a, &c);  // before the first: the head follows
  EXPECT_EQ(ids(head), (std::vector<int>{3, 1, 2}));
  node_insert_before(head, &b, &d);
  EXPECT_EQ(ids(head), (std::vector<int>{3, 1, 4, 2}));
  node_unlink(head, &c);
  EXPECT_EQ(ids(head), (std::vector<int>{1, 4, 2}));
  EXPECT_EQ(c.next, nullptr);
  node_unlink(head, &b);
  node_unlink(head, &b);  // not linked any more: nothing happens
  EXPECT_EQ(ids(head), (std::vector<int>{1, 4}));
  node_unlink(head, &a);
  node_unlink(head, &d);
  EXPECT_EQ(head, nullptr);
  int value = 7;
  ObjectNode<int> n{&value};
  ObjectNode<int>* nh = nullptr;
  node_append(nh, &n);
  EXPECT_EQ(*nh->data, 7);
}

// Codes chosen for the test; the real tables belong to the assembler.
const DirectiveEntry native_table[] = {{"org", 1}, {"fcb", 2}, {nullptr, 0}};
const DirectiveEntry pure_table[] = {{"org", 11}, {"equ", 12}, {nullptr, 0}};
const DirectiveEntry compat_table[] = {{"equ", 21}, {"rmb", 22}, {nullptr, 0}};
const DirectiveEntry base_table[] = {{"rmb", 31}, {"end", 32}, {nullptr, 0}};
const DirectiveEntry hash_table[] = {{"include", 41}, {"define", 42}, {nullptr, 0}};
const DirectiveEntry dot_table[] = {{".include", 51}, {"if", 52}, {nullptr, 0}};

DirectiveTables tables(bool pure, bool native, bool compat) {
  DirectiveTables t{native_table, pure_table, compat_table, base_table, hash_table, dot_table};
  t.pure_on = pure;
  t.native_on = native;
  t.compat_on = compat;
  return t;
}

TEST(CommonDirective, SearchOrderUnderTheSwitches) {
  EXPECT_EQ(lookup_directive(tables(true, false, false), "ORG"), 11);
  EXPECT_EQ(lookup_directive(tables(true, true, false), "org $100"), 1);
  EXPECT_EQ(lookup_directive(tables(true, false, false), "rmb 4"), 31);
  EXPECT_EQ(lookup_directive(tables(true, false, true), "rmb"), 22);
  EXPECT_EQ(lookup_directive(tables(true, false, true), "equ"), 12);
  EXPECT_EQ(lookup_directive(tables(false, true, true), "end"), 0);  // pure off: native only
  EXPECT_EQ(lookup_directive(tables(false, true, true), "fcb"), 2);
  EXPECT_EQ(lookup_directive(tables(true, false, false), "orgx"), 0);
  EXPECT_EQ(lookup_directive(tables(true, false, false), nullptr), 0);
}

TEST(CommonDirective, PreprocessorKeywords) {
  const char* text = "#  include \"x.h\"";
  const char* pos = text;
  EXPECT_EQ(lookup_pp_keyword(tables(true, false, false), pos), 41);
  EXPECT_EQ(pos, text + 10);
  // '#' with pure off is not a keyword start; the dot table needs native on.
  pos = text;
  EXPECT_EQ(lookup_pp_keyword(tables(false, false, false), pos), 0);
  EXPECT_EQ(pos, text);
  const char* dot = ".include x";
  pos = dot;
  EXPECT_EQ(lookup_pp_keyword(tables(true, true, false), pos), 51);
  EXPECT_EQ(pos, dot + 8);
  // A '#' that names no '#' keyword falls back to the dot table behind it.
  const char* hash_if = "# if X";
  pos = hash_if;
  EXPECT_EQ(lookup_pp_keyword(tables(true, true, false), pos), 52);
  EXPECT_EQ(pos, hash_if + 4);
  pos = hash_if;
  EXPECT_EQ(lookup_pp_keyword(tables(true, false, false), pos), 0);
  EXPECT_EQ(pos, hash_if);
}

}  // namespace
}  // namespace zun
