// The output window's line store, the reading of tool message lines and the
// splitting of tool command lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "workbench/core/workbench_core.h"

using namespace zun::wb;
using Lines = std::vector<std::string>;

TEST(WbOutputText, WrapsAtVisibleColumnsWithoutLosingCharacters) {
  OutputText out;
  out.set_columns(4);
  out.write("abcdefghij\n");
  EXPECT_EQ(out.lines(), (Lines{"abcd", "efgh", "ij"}));
  EXPECT_EQ(out.pending(), "");
  out.write("wxyz\n");  // exactly as wide as the window: one line, no empty one
  EXPECT_EQ(out.lines().back(), "wxyz");
  EXPECT_EQ(out.last_index(), 3);
}

TEST(WbOutputText, PendingLineCarriesAcrossWrites) {
  OutputText out;
  out.set_columns(80);
  out.write("abc");
  out.write("def\nghi");
  EXPECT_EQ(out.lines(), (Lines{"abcdef"}));
  EXPECT_EQ(out.pending(), "ghi");
  out.write("\n\n");
  EXPECT_EQ(out.lines(), (Lines{"abcdef", "ghi", ""}));
}

TEST(WbOutputText, TabBecomesBlankControlCharactersVanish) {
  OutputText out;
  out.set_columns(80);
  out.write("a\tb\r\n\x01x\x1b" "y\x7f\n");
  EXPECT_EQ(out.lines(), (Lines{"a b", "xy\x7f"}));
}

TEST(WbOutputText, CutAt255EvenInWideWindow) {
  OutputText out;
  out.set_columns(1000);
  out.write(std::string(600, 'x') + "\n");
  ASSERT_EQ(out.lines().size(), 3u);
  EXPECT_EQ(out.lines()[0].size(), 255u);
  EXPECT_EQ(out.lines()[1].size(), 255u);
  EXPECT_EQ(out.lines()[2].size(), 90u);
}

TEST(WbOutputText, NoVisibleColumnsWrapsNowhere) {
  OutputText out;
  out.set_columns(0);
  out.write("abc\n" + std::string(300, 'y'));
  EXPECT_EQ(out.lines(), (Lines{"abc", std::string(255, 'y')}));
  EXPECT_EQ(out.pending(), std::string(45, 'y'));
  out.clear();
  EXPECT_EQ(out.last_index(), -1);
  EXPECT_EQ(out.pending(), "");
}

TEST(WbMessageLine, CompilerAndAssemblerLinesLeadToTheirSource) {
  auto loc = parse_message_line("\"/home/u/w/main.c\" (12): error: x");
  ASSERT_TRUE(loc);
  EXPECT_EQ(loc->file, "/home/u/w/main.c");
  EXPECT_EQ(loc->line, 12);
  loc = parse_message_line("Error \"C:\\w\\a.s09\" ( 7 ) : undefined symbol");
  ASSERT_TRUE(loc);
  EXPECT_EQ(loc->file, "C:\\w\\a.s09");
  EXPECT_EQ(loc->line, 7);
  loc = parse_message_line("\"x.c\" (abc) warning");  // no digits: line 0
  ASSERT_TRUE(loc);
  EXPECT_EQ(loc->line, 0);
}

TEST(WbMessageLine, LinesWithoutQuotedNameAndParenthesesDoNothing) {
  EXPECT_FALSE(parse_message_line("Error: undefined symbol '_main' in (3) modules"));
  EXPECT_FALSE(parse_message_line("\"main.c\" line 12"));
  EXPECT_FALSE(parse_message_line("\"main.c\" ) 12 ("));
  EXPECT_FALSE(parse_message_line("(12) \"main.c\" 12)"));
  EXPECT_FALSE(parse_message_line("\"main.c (12)"));  // never closed: nothing behind the name
  EXPECT_FALSE(parse_message_line("\"\" (12)"));
  EXPECT_FALSE(parse_message_line(""));
}

TEST(WbToolCommand, SplitsLikeTheCRuntimeAndDropsExe) {
  auto tc = split_tool_command("\"C:\\zun\\bin\\hasm09.EXE\" -l \"my file.s09\" a\\\"b");
  ASSERT_TRUE(tc);
  EXPECT_EQ(tc->program, "C:/zun/bin/hasm09");
  EXPECT_EQ(tc->args, (Lines{"-l", "my file.s09", "a\"b"}));
  tc = split_tool_command("/bin/echo.exe \"\" x");
  ASSERT_TRUE(tc);
  EXPECT_EQ(tc->program, "/bin/echo");
  EXPECT_EQ(tc->args, (Lines{"", "x"}));
  tc = split_tool_command("tool");
  ASSERT_TRUE(tc);
  EXPECT_EQ(tc->program, "tool");
  EXPECT_FALSE(split_tool_command("   "));
  EXPECT_EQ(tool_command_line("/opt/zun/bin", "vlk", "-g a.o09"), "\"/opt/zun/bin/vlk\" -g a.o09");
}
