// Path helpers: both separators on input, '/' on output, lexical canonical and
// relative forms.
#include "common/path.h"

#include <gtest/gtest.h>

namespace zun {
namespace {

TEST(CommonPath, NameParts) {
  EXPECT_EQ(path_last_sep("a/b\\c"), 3u);
  EXPECT_EQ(path_last_sep("a\\b/c"), 3u);
  EXPECT_EQ(path_last_sep("abc"), std::string_view::npos);
  EXPECT_EQ(path_file_name("C:\\dir/x.c"), "x.c");
  EXPECT_EQ(path_file_name("x.c"), "x.c");
  EXPECT_EQ(path_file_name("dir/"), "");
  EXPECT_EQ(path_base_name("dir/x.y.z"), "x");
  EXPECT_EQ(path_base_name("dir\\.hidden"), "");
  EXPECT_EQ(path_dir_name("file.c"), "");
  EXPECT_EQ(path_dir_name("\\file.c"), "\\");
  EXPECT_EQ(path_dir_name("C:/a/b.c"), "C:/a");
  EXPECT_EQ(path_dir_name("a\\b/c.c"), "a\\b");
}

TEST(CommonPath, SeparatorConversions) {
  std::string p = "a\\b/c\\";
  path_to_slashes(p);
  EXPECT_EQ(p, "a/b/c/");
  path_to_backslashes(p);
  EXPECT_EQ(p, "a\\b\\c\\");
  EXPECT_EQ(path_native("inc\\sub\\x.h"), "inc/sub/x.h");
}

TEST(CommonPath, CollapseSeparatorsPairwise) {
  EXPECT_EQ(path_collapse_seps("a//b/c"), "a/b/c");
  EXPECT_EQ(path_collapse_seps("a\\\\b\\c"), "a/b/c");
  EXPECT_EQ(path_collapse_seps("a///b"), "a//b");
  EXPECT_EQ(path_collapse_seps("a////b"), "a//b");
  EXPECT_EQ(path_collapse_seps("a/./../b"), "a/./../b");
}

TEST(CommonPath, CanonicalizeIsLexical) {
  EXPECT_EQ(path_canonicalize("a/b/../c"), "a/c");
  EXPECT_EQ(path_canonicalize("a\\.\\b\\\\c"), "a/b/c");
  EXPECT_EQ(path_canonicalize("./a/./b/"), "a/b");
  EXPECT_EQ(path_canonicalize("../x/../../y"), "../../y");  // leading .. kept
  EXPECT_EQ(path_canonicalize("a/../../b"), "../b");
  EXPECT_EQ(path_canonicalize("a/.."), ".");
  EXPECT_EQ(path_canonicalize(""), "");
  EXPECT_EQ(path_canonicalize("/usr/../../lib"), "/lib");  // never above the root
  EXPECT_EQ(path_canonicalize("/"), "/");
  EXPECT_EQ(path_canonicalize("C:\\Work\\..\\Proj\\.\\a.c"), "C:/Proj/a.c");
  EXPECT_EQ(path_canonicalize("C:\\.."), "C:/");
  EXPECT_EQ(path_canonicalize("/opt/zun/bin/../config/zun09"), "/opt/zun/config/zun09");
  std::string p = "dir\\sub\\..\\file.s09";
  path_canonicalize_inplace(p);
  EXPECT_EQ(p, "dir/file.s09");
}

TEST(CommonPath, Join) {
  EXPECT_EQ(path_join("/proj", "src/a.c"), "/proj/src/a.c");
  EXPECT_EQ(path_join("/proj/", "../lib\\x.lib"), "/lib/x.lib");
  EXPECT_EQ(path_join("proj", "./a.c"), "proj/a.c");
  EXPECT_EQ(path_join("/proj", "/abs/a.c"), "/abs/a.c");
  EXPECT_EQ(path_join("/proj", "D:\\x\\a.c"), "D:/x/a.c");
  EXPECT_EQ(path_join("", "a/./b"), "a/b");
}

TEST(CommonPath, RootsAndRelativity) {
  EXPECT_TRUE(path_same_root("C:\\a", "c:/b"));
  EXPECT_FALSE(path_same_root("C:\\a", "D:\\a"));
  EXPECT_TRUE(path_same_root("/a/b", "\\c"));
  EXPECT_FALSE(path_same_root("/a", "C:/a"));
  EXPECT_FALSE(path_same_root("a/b", "a/c"));
  EXPECT_TRUE(path_same_root("//srv/share/a", "\\\\SRV\\Share\\b"));
  EXPECT_FALSE(path_same_root("//srv/one/a", "//srv/two/a"));
  EXPECT_TRUE(path_is_relative("a/b"));
  EXPECT_TRUE(path_is_relative("../b"));
  EXPECT_TRUE(path_is_relative(""));
  EXPECT_FALSE(path_is_relative("/a"));
  EXPECT_FALSE(path_is_relative("\\a"));
  EXPECT_FALSE(path_is_relative("C:a"));
}

TEST(CommonPath, MakeRelative) {
  EXPECT_EQ(path_make_relative("/proj", "/proj/src/a.c"), "./src/a.c");
  EXPECT_EQ(path_make_relative("/proj/", "/proj/a.c"), "./a.c");
  EXPECT_EQ(path_make_relative("/proj", "/proj"), ".");
  EXPECT_EQ(path_make_relative("/proj/sub", "/proj/inc/x.h"), "../inc/x.h");
  EXPECT_EQ(path_make_relative("/a/b/c", "/a"), "../..");
  EXPECT_EQ(path_make_relative("/a/b", "/x/y"), "../../x/y");
  EXPECT_EQ(path_make_relative("C:\\Proj", "c:\\Proj\\lib\\x.lib"), "./lib/x.lib");
  EXPECT_EQ(path_make_relative("/proj", "/Proj/a.c"), "../Proj/a.c");  // names keep their case
  // Unchanged: empty base, relative path, other root.
  EXPECT_EQ(path_make_relative("", "/proj/a.c"), "/proj/a.c");
  EXPECT_EQ(path_make_relative("/proj", "src\\a.c"), "src\\a.c");
  EXPECT_EQ(path_make_relative("C:/proj", "D:\\x.c"), "D:\\x.c");
  EXPECT_EQ(path_make_relative("/proj", "C:/x.c"), "C:/x.c");
}

TEST(CommonPath, CompareBaseNames) {
  EXPECT_EQ(path_compare_base_names("A/B.C", "b.d"), 0);
  EXPECT_EQ(path_compare_base_names("x.y.z", "x.y.c"), 0);
  EXPECT_GT(path_compare_base_names("x.y.z", "x.y"), 0);  // only the last extension goes
  EXPECT_LT(path_compare_base_names("dir\\abc.s09", "abd.c"), 0);
  EXPECT_GT(path_compare_base_names("abcd", "ABC.x"), 0);
  EXPECT_EQ(path_compare_base_names("noext", "NOEXT"), 0);
}

}  // namespace
}  // namespace zun
