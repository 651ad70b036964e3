// Command-line splitting by the Windows runtime rules, line readers and exit codes.
#include "common/cmdline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "common/exit_code.h"
#include "common/line_reader.h"

namespace zun {
namespace {

using Args = std::vector<std::string>;

Args split_args(std::string_view s) { return split_win_cmdline(s, false); }

TEST(CommonCmdline, ClassicRuntimeExamples) {
  EXPECT_EQ(split_args(R"("a b c" d e)"), (Args{"a b c", "d", "e"}));
  EXPECT_EQ(split_args(R"("ab\"c" "\\" d)"), (Args{"ab\"c", "\\", "d"}));
  EXPECT_EQ(split_args(R"(a\\\b d"e f"g h)"), (Args{"a\\\\\\b", "de fg", "h"}));
  EXPECT_EQ(split_args(R"(a\\\"b c d)"), (Args{"a\\\"b", "c", "d"}));
  EXPECT_EQ(split_args(R"(a\\\\"b c" d e)"), (Args{"a\\\\b c", "d", "e"}));
  EXPECT_EQ(split_args(R"(a"b"" c d)"), (Args{"ab\" c d"}));  // "" inside quotes
}

TEST(CommonCmdline, SeparatorsEmptyArgumentsAndEnds) {
  EXPECT_EQ(split_args("  a\t\tb  "), (Args{"a", "b"}));
  EXPECT_EQ(split_args(R"(a "" b)"), (Args{"a", "", "b"}));
  EXPECT_EQ(split_args(R"("unclosed arg)"), (Args{"unclosed arg"}));
  EXPECT_EQ(split_args(R"(trail\)"), (Args{"trail\\"}));
  EXPECT_EQ(split_args(R"("C:\dir\\" next)"), (Args{"C:\\dir\\", "next"}));
  EXPECT_EQ(split_args(""), Args{});
  EXPECT_EQ(split_args("   "), Args{});
  // How the workbench quotes each option: -I and its value stay apart.
  EXPECT_EQ(split_args(R"("-I" "C:\My Inc" "-o" "out file.o09")"),
            (Args{"-I", "C:\\My Inc", "-o", "out file.o09"}));
}

TEST(CommonCmdline, ProgramNameKeepsBackslashes) {
  EXPECT_EQ(split_win_cmdline(R"("C:\Program Files\hasm09.exe" -l "a b.s09")"),
            (Args{"C:\\Program Files\\hasm09.exe", "-l", "a b.s09"}));
  EXPECT_EQ(split_win_cmdline(R"(C:\dir\"x y" a\"b)"), (Args{"C:\\dir\\x y", "a\"b"}));
  EXPECT_EQ(program_name("C:\\bin\\HASM09.EXE"), "HASM09");
  EXPECT_EQ(program_name("/usr/bin/vlk"), "vlk");
  EXPECT_EQ(program_name("tcx09.Exe"), "tcx09");
  EXPECT_EQ(program_name("tool.exe.bak"), "tool.exe.bak");
  EXPECT_EQ(program_name(".exe"), "");
}

TEST(CommonExitCode, CountCappedAt255) {
  EXPECT_EQ(exit_code_for_errors(0), 0);
  EXPECT_EQ(exit_code_for_errors(1), 1);
  EXPECT_EQ(exit_code_for_errors(255), 255);
  EXPECT_EQ(exit_code_for_errors(256), 255);  // must not wrap to success
  EXPECT_EQ(exit_code_for_errors(300), 255);
  EXPECT_EQ(exit_code_for_errors(-3), 0);
}

// The same bytes read through a FILE, a stream and memory.
Args lines_of_file(const std::string& bytes) {
  std::FILE* f = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  Args out;
  std::string line = "junk";
  while (read_line(f, line)) out.push_back(line);
  EXPECT_EQ(line, "");
  std::fclose(f);
  return out;
}

// The whole file at once, read in blocks of 64 KiB.
Args lines_of_file_at_once(const std::string& bytes) {
  std::FILE* f = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  Args out;
  EXPECT_EQ(read_lines(f, out, std::string::npos), LineStatus::End);
  std::fclose(f);
  return out;
}

Args lines_of_stream(const std::string& bytes) {
  std::istringstream in(bytes);
  Args out;
  std::string line;
  while (read_line(in, line)) out.push_back(line);
  return out;
}

Args lines_of_memory(const std::string& bytes) {
  Args out;
  size_t pos = 0;
  std::string_view line;
  while (next_line(bytes, pos, line)) out.emplace_back(line);
  return out;
}

TEST(CommonLineReader, CrlfLastLineAndLongLines) {
  std::string long_line(10000, 'x');
  long_line[5000] = '\0';  // a NUL inside a line does not end it
  struct Case {
    std::string bytes;
    Args lines;
  } cases[] = {
      {"one\r\ntwo\nthree", {"one", "two", "three"}},
      {"a\r\n\r\n\nb\r\n", {"a", "", "", "b"}},
      {"mid\rcr\n", {"mid", "cr"}},
      {"cr\ronly\r\rend\r", {"cr", "only", "", "end"}},
      {"", {}},
      {"\n", {""}},
      {long_line + "\r\nend", {long_line, "end"}},
      // line ends across the reader's 64 KiB blocks
      {std::string(65535, 'b') + "\r\nnext", {std::string(65535, 'b'), "next"}},
      {std::string(65535, 'b') + "\rnext", {std::string(65535, 'b'), "next"}},
      {std::string(65535, 'b') + "\r\r\n", {std::string(65535, 'b'), ""}},
      {std::string(65536, 'b') + "\n\n", {std::string(65536, 'b'), ""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lines_of_file(c.bytes), c.lines);
    EXPECT_EQ(lines_of_file_at_once(c.bytes), c.lines);
    EXPECT_EQ(lines_of_stream(c.bytes), c.lines);
    EXPECT_EQ(lines_of_memory(c.bytes), c.lines);
  }
  EXPECT_EQ(lines_of_file(long_line)[0].size(), 10000u);
}

}  // namespace
}  // namespace zun
