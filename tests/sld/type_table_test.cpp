// The debug type table over type lines as the compiler writes them.
#include "sld_fixture.h"
#include "synthetic.h"

namespace zun::sld {
namespace {

class SldTypeTable : public ::testing::Test {
protected:
  SldTypeTable() : types(host) { types.type_table_reset(); }
  int plain(const std::string& line) { return types.type_parse(line, false); }
  int structure(const std::string& line) { return types.type_parse(line, true); }
  int id(const std::string& name) { return types.type_id_by_name(name); }
  // The built-in lines every compiled module carries.
  void builtins() {
    for (const std::string& l : builtin_type_lines()) EXPECT_EQ(plain(l), 0) << l;
  }
  FakeHost host;
  TypeTable types;
};

TEST_F(SldTypeTable, NamesGiveIdsInTheOrderMet) {
  EXPECT_EQ(id("typ11"), 11);
  EXPECT_EQ(id("(typ11)"), 11);
  EXPECT_EQ(id("typ16"), kTypeUnknown);
  EXPECT_EQ(id("(typ17-x)"), kTypeUnknown);
  EXPECT_EQ(types.type_new_id("(typ20-y)"), 16);
  EXPECT_EQ(types.type_new_id("typ17-x"), 17);
  EXPECT_EQ(id("(typ17-x)"), 17);
  EXPECT_EQ(id("(typ20-y)"), 16);
  EXPECT_EQ(id("typ20-Y"), kTypeUnknown);
}

TEST_F(SldTypeTable, IdsOutsideTheTableReadAsEmpty) {
  for (int bad : {-1, -7, kTypeUnknown, 5001, 123456}) {
    EXPECT_EQ(types.type_kind(bad), KIND_EMPTY) << bad;
    EXPECT_EQ(types.type_size(bad), 0) << bad;
    EXPECT_EQ(types.type_letter(bad), 0) << bad;
    EXPECT_EQ(types.type_record(bad), nullptr) << bad;
    EXPECT_EQ(types.type_pointee(bad), kTypeUnknown) << bad;
    EXPECT_EQ(types.type_name(bad), "<UNKNOWN>") << bad;
  }
}

TEST_F(SldTypeTable, BuiltinLinesDefineTheirSlotOnce) {
  EXPECT_EQ(plain(" typ2 l (4)"), 0);
  ASSERT_NE(types.slot(2), nullptr);
  EXPECT_EQ(types.type_letter(2), 'l');
  EXPECT_EQ(types.type_size(2), 4);
  EXPECT_EQ(plain(" typ2 L (8)"), 0);
  EXPECT_EQ(types.type_letter(2), 'l');
  EXPECT_EQ(types.type_size(2), 4);
  EXPECT_EQ(types.type_name(3), ".?.");  // a built-in not read yet
  builtins();
  EXPECT_EQ(types.type_kind(8), KIND_FLOAT);
  EXPECT_EQ(types.type_kind(12), KIND_UNSIGNED);
  EXPECT_EQ(types.type_kind(3), KIND_SIGNED);
  EXPECT_EQ(types.type_kind(10), KIND_POINTER);
  EXPECT_EQ(types.type_kind(0), KIND_POINTER);
  EXPECT_EQ(types.type_name(2), "unsigned long");
}

TEST_F(SldTypeTable, PointersAndArraysFollowTheirChains) {
  builtins();
  EXPECT_EQ(plain("x:typ17-x a *(typ11)"), 0);
  int p = id("(typ17-x)");
  const TypeRecord* r = types.slot(p);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->letter, 'P');
  EXPECT_EQ(r->size, 2);
  EXPECT_EQ(r->module, "x");
  EXPECT_EQ(types.type_name(p), "int *");
  EXPECT_EQ(types.type_pointee(p), 11);

  EXPECT_EQ(plain("x:typ18-x a **(typ3)"), 0);
  int pp = id("typ18-x");
  int level = types.type_pointee(pp);
  EXPECT_EQ(id("typ16-PTRTYPE"), level);
  EXPECT_EQ(types.type_pointee(level), 3);
  EXPECT_EQ(types.type_name(pp), "char **");

  EXPECT_EQ(plain("x:typ19-x A (4)*(typ3)"), 0);
  EXPECT_EQ(types.type_name(id("typ19-x")), "char*");
  EXPECT_EQ(types.type_kind(id("typ19-x")), KIND_ARRAY);
  EXPECT_EQ(types.type_size(id("typ19-x")), 4);
  EXPECT_EQ(plain("x:typ20-x A (2)(typ4)"), 0);
  EXPECT_EQ(types.type_name(id("typ20-x")), "unsigned char");
  EXPECT_EQ(types.type_pointee(id("typ20-x")), 4);

  EXPECT_EQ(plain("x:typ21-x * (typ14) "), 0);
  EXPECT_EQ(types.type_letter(id("typ21-x")), 'F');
  EXPECT_EQ(types.type_kind(id("typ21-x")), KIND_POINTER);

  // char * leads to char; void * and void lead to nothing a watch expands.
  EXPECT_EQ(types.type_pointee(10), 3);
  EXPECT_EQ(types.type_pointee(15), kTypeUnknown);
  EXPECT_EQ(types.type_pointee(0), kTypeUnknown);
}

TEST_F(SldTypeTable, StructuresComeWithTheStructurePasses) {
  builtins();
  EXPECT_EQ(plain("m:typ17-m a *(typ16-m)"), 0);  // the structure is not known yet
  int p = id("typ17-m");
  EXPECT_EQ(types.slot(p), nullptr);
  EXPECT_EQ(plain("m:typ16-m Z (4)S s {a:(0):(typ11);b:(2):(typ3);}"), 0);  // not this pass
  EXPECT_EQ(structure("m:typ17-m a *(typ16-m)"), 0);
  EXPECT_EQ(structure("m:typ16-m Z (4)S s {a:(0):(typ11);b:(2):(typ3);c:(3):(typ18-m);}"), 0);
  int s = id("typ16-m");
  const TypeRecord* r = types.type_record(s);
  ASSERT_NE(r, nullptr);
  EXPECT_FALSE(r->is_union);
  EXPECT_EQ(r->tag, "s");
  ASSERT_EQ(r->members.size(), 3u);
  EXPECT_EQ(r->members[0].name, "a");
  EXPECT_EQ(r->members[0].size, 0);
  EXPECT_EQ(r->members[0].bit_width, -1);
  EXPECT_EQ(r->members[0].bit_offset, -1);
  EXPECT_EQ(r->members[0].type, 11);
  EXPECT_EQ(r->members[1].size, 2);
  EXPECT_EQ(r->members[1].type, 3);
  // A member type whose line comes later has an id and an empty slot.
  int later = id("typ18-m");
  EXPECT_EQ(r->members[2].type, later);
  EXPECT_EQ(types.type_kind(later), KIND_EMPTY);
  EXPECT_EQ(plain("m:typ18-m A (2)(typ3)"), 0);
  EXPECT_EQ(types.type_kind(later), KIND_ARRAY);
  // The last plain pass defines the pointer.
  EXPECT_EQ(plain("m:typ17-m a *(typ16-m)"), 0);
  EXPECT_EQ(types.type_pointee(p), s);
  EXPECT_EQ(types.type_name(p), "");
  EXPECT_EQ(types.type_name(s), "'s'");
  EXPECT_EQ(types.type_kind(s), KIND_STRUCT);

  EXPECT_EQ(structure("m:typ19-m Z (2)U u {a:(0):(typ11);b:(0):(typ3);}"), 0);
  EXPECT_TRUE(types.type_record(id("typ19-m"))->is_union);
}

TEST_F(SldTypeTable, BitFieldsAndTheMembersAfterThem) {
  builtins();
  EXPECT_EQ(plain("m:typ20-m B (2,1:0)"), 0);
  EXPECT_EQ(plain("m:typ21-m B (2,3:1)"), 0);
  int f = id("typ20-m");
  EXPECT_EQ(types.type_kind(f), KIND_UNSIGNED);
  EXPECT_EQ(types.type_bit_width(f), 1);
  EXPECT_EQ(types.type_bit_offset(f), 0);
  EXPECT_EQ(types.type_bit_width(id("typ21-m")), 3);
  EXPECT_EQ(types.type_bit_offset(id("typ21-m")), 1);
  EXPECT_EQ(types.type_bit_width(11), 0);
  EXPECT_EQ(types.type_name(f), " INVAL TYPEDID");
  // struct { int a; unsigned f:1, g:3; int after; unsigned k:2; char c; }
  EXPECT_EQ(structure("m:typ19-m Z (9)S flags {a:(0):(typ11);f:(2,0:1):(typ20-m);"
                      "g:(2,1:3):(typ21-m);after:(4):(typ11);k:(2,0:2):(typ22-m);c:(8):(typ3);}"),
            0);
  types.type_link_incomplete();
  const TypeRecord* r = types.type_record(id("typ19-m"));
  ASSERT_NE(r, nullptr);
  std::vector<int32_t> offsets;
  for (const TypeMember& m : r->members) offsets.push_back(m.offset);
  EXPECT_EQ(offsets, (std::vector<int32_t>{0, 2, 2, 4, 6, 8}));
  EXPECT_EQ(r->members[1].bit_offset, 0);
  EXPECT_EQ(r->members[2].bit_offset, 1);
  EXPECT_EQ(r->members[2].bit_width, 3);
}

TEST_F(SldTypeTable, AnonymousTypedefStructGetsItsOwnId) {
  builtins();
  EXPECT_EQ(structure("m:typ16-m Z (10)S {name:(0):(typ17-m);id:(8):(typ11);}"), 0);
  EXPECT_EQ(types.type_error_count(), 0);
  int s = id("typ16-m");
  ASSERT_NE(s, kTypeUnknown);
  EXPECT_EQ(types.type_name(s), "''");
  EXPECT_EQ(types.type_size(s), 10);
}

TEST_F(SldTypeTable, SharedHeaderStructKnownInEveryModule) {
  builtins();
  const char* body = " Z (4)S point {x:(0):(typ11);y:(2):(typ11);}";
  EXPECT_EQ(structure(std::string("a:typ16-a") + body), 0);
  EXPECT_EQ(structure(std::string("b:typ16-b") + body), 0);
  int a = id("typ16-a");
  EXPECT_NE(a, kTypeUnknown);
  EXPECT_EQ(id("typ16-b"), a);
  EXPECT_EQ(types.type_size(a), 4);
  // An incomplete description of the tag leaves the complete one in place.
  EXPECT_EQ(structure("c:typ16-c Z (-1)S point {}"), 0);
  EXPECT_EQ(id("typ16-c"), a);
  EXPECT_EQ(types.type_size(a), 4);
  EXPECT_EQ(host.out, "");
  // A different layout under the same tag replaces the record, with a warning.
  EXPECT_EQ(structure("d:typ16-d Z (6)S point {x:(0):(typ11);y:(2):(typ11);z:(4):(typ11);}"), 0);
  EXPECT_EQ(types.type_size(a), 6);
  EXPECT_EQ(id("typ16-d"), kTypeUnknown);
  EXPECT_EQ(host.out, "Warning: Struct 'point' of module 'd' differs from the one of module 'a'\n");
}

TEST_F(SldTypeTable, IncompleteStructureStandsForTheCompleteOne) {
  builtins();
  EXPECT_EQ(plain("m:typ17-m a *(typ16-m)"), 0);  // an empty slot stops the search by tag
  EXPECT_EQ(structure("m:typ16-m Z (-1)S hidden {}"), 0);
  EXPECT_EQ(structure("n:typ16-n Z (3)S hidden {secret:(0):(typ11);more:(2):(typ3);}"), 0);
  EXPECT_EQ(plain("m:typ17-m a *(typ16-m)"), 0);
  types.type_link_incomplete();
  int incomplete = id("typ16-m");
  int complete = id("typ16-n");
  ASSERT_NE(incomplete, complete);
  EXPECT_EQ(types.type_resolve(incomplete), complete);
  EXPECT_EQ(types.type_size(incomplete), 3);
  EXPECT_EQ(types.type_record(incomplete)->members.size(), 2u);
  EXPECT_EQ(types.type_pointee(id("typ17-m")), complete);
}

TEST_F(SldTypeTable, SelfReferenceAndDeepChainsEndTheirNames) {
  builtins();
  EXPECT_EQ(plain("x:typ16-x a *(typ16-x)"), 0);
  std::string name = types.type_name(id("typ16-x"));
  EXPECT_LT(name.size(), 100u);
  std::string stars(200, '*');
  EXPECT_EQ(plain("x:typ17-x a *" + stars + "(typ3)"), 0);
  EXPECT_LT(types.type_name(id("typ17-x")).size(), 100u);
}

TEST_F(SldTypeTable, RefusedLinesAreReported) {
  builtins();
  EXPECT_EQ(plain("x:typ16-x Q (2)"), 1);
  EXPECT_EQ(host.out, "Warning: Unrecognized type 'x:typ16-x Q (2)'\n");
  EXPECT_EQ(types.type_kind(id("typ16-x")), KIND_EMPTY);
  host.out.clear();
  EXPECT_EQ(structure("x:typ17-x Z (4)S s a:(0):(typ11);}"), 1);
  EXPECT_EQ(host.out, "Invalid struct type entry\n");
  // A malformed member ends the list; the members before it stay.
  EXPECT_EQ(structure("x:typ18-x Z (4)S t {a:(0):(typ11);b:(x):(typ3);}"), 1);
  EXPECT_EQ(types.type_record(id("typ18-x"))->members.size(), 1u);
}

TEST_F(SldTypeTable, NamesRunOutAt4983) {
  builtins();
  for (int i = 0; i < 4983; ++i)
    ASSERT_NE(types.type_new_id(format("typ%d-n", i + 16)), kTypeUnknown) << i;
  EXPECT_EQ(types.type_new_id("typ9999-n"), kTypeUnknown);
  EXPECT_EQ(id("typ4998-n"), 4998);
  // Nothing can be defined any more; a structure counts a type error.
  EXPECT_EQ(plain("n:typ9999-n a *(typ11)"), 1);
  EXPECT_EQ(structure("n:typ9998-n Z (2)S late {a:(0):(typ11);}"), 1);
  EXPECT_EQ(types.type_error_count(), 1);
  types.type_table_reset();
  EXPECT_EQ(types.type_error_count(), 0);
  EXPECT_EQ(types.type_new_id("typ16-n"), 16);
}

}  // namespace
}  // namespace zun::sld
