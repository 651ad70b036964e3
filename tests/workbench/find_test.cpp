// Find in files without windows: the histories, the patterns, the walk over
// the folders with its count and cancel, and the staged grep and fgrep.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../tools/tool_run.h"
#include "workbench/build/find_in_files.h"
#include "workbench/build/process_runner.h"
#include "workbench/grep/line_search.h"

using namespace zun::wb;
namespace fs = std::filesystem;
using zun::test::run_in;
using zun::test::TempDir;

namespace {

void put(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

// Records every run and answers with a count per file name.
struct FakeGrep {
  std::vector<GrepCommand> runs;
  std::map<std::string, int> results;  // by file name; 1 otherwise
  std::function<void()> on_poll;
  std::string printed;
  FileSearch::Hooks hooks() {
    return {[this](std::string_view s) { printed += s; },
            [this] {
              if (on_poll) on_poll();
            },
            [this](const GrepCommand& c) {
              runs.push_back(c);
              auto it = results.find(fs::path(c.args.back()).filename().string());
              return it == results.end() ? 1 : it->second;
            }};
  }
  std::vector<std::string> files(const fs::path& base) const {
    std::vector<std::string> out;
    for (const GrepCommand& c : runs) out.push_back(fs::relative(c.args.back(), base).string());
    return out;
  }
};

FindSettings settings_for(const fs::path& folder, std::string what, std::string types, bool sub) {
  FindSettings s;
  s.what.push(what);
  s.types.push(types);
  s.folder.push(folder.string());
  s.subfolders = sub;
  return s;
}

}  // namespace

TEST(FindHistory, PushRulesAndLimits) {
  SearchHistory h(63);
  h.push("one");
  h.push("one");  // equal to entry 0: nothing changes
  EXPECT_EQ(h.filled(), (std::vector<std::string>{"one"}));
  for (int i = 2; i <= 9; ++i) h.push("t" + std::to_string(i));
  EXPECT_EQ(h.at(0), "t9");
  EXPECT_EQ(h.at(7), "t2");  // the ninth text dropped "one"
  h.push("t5");              // an older text comes to the top again, the rest move down
  EXPECT_EQ(h.at(0), "t5");
  EXPECT_EQ(h.at(1), "t9");

  FindSettings s;
  s.types.push("*.c;*.h;*.s09;*.asm;*.lsc;*.txt;*.map");  // cut at 31 characters
  EXPECT_EQ(s.types.current(), "*.c;*.h;*.s09;*.asm;*.lsc;*.txt");
  s.what.push(std::string(62, 'a') + "\xC3\xA4");  // never cut inside a character
  EXPECT_EQ(s.what.current(), std::string(62, 'a'));

  FindSettings fresh;
  prepare_find_dialog(fresh, "/home/u/src");
  EXPECT_EQ(fresh.folder.current(), "/home/u/src");
  EXPECT_EQ(fresh.types.current(), "*.c;*.h;*.s09");
  prepare_find_dialog(fresh, "/elsewhere");  // only an empty history is given a start
  EXPECT_EQ(fresh.folder.filled().size(), 1u);
}

TEST(FindPatterns, WildcardsIgnoreCase) {
  EXPECT_TRUE(wildcard_match("*.c", "MAIN.C"));
  EXPECT_TRUE(wildcard_match("*.S09", "boot.s09"));
  EXPECT_TRUE(wildcard_match("m?in.*", "main.c"));
  EXPECT_FALSE(wildcard_match("*.c", "main.cpp"));
  EXPECT_FALSE(wildcard_match("*.h", "h"));
  EXPECT_TRUE(wildcard_match("*.*", "Makefile"));
  EXPECT_TRUE(wildcard_match("*a*b*c", "xaxxbxxxbc"));
  EXPECT_EQ(split_file_types(" *.c ; *.h;;*.s09 "), (std::vector<std::string>{"*.c", "*.h", "*.s09"}));
}

TEST(FindCommand, ArgumentsFollowTheFlags) {
  FindSettings s;
  s.what.push("say \"hi\" now");
  GrepCommand c = grep_command(s, "/w/a.c");
  EXPECT_EQ(c.program, "fgrep");
  EXPECT_EQ(c.args, (std::vector<std::string>{"-y", "say \"hi\" now", "/w/a.c"}));
  s.match_case = s.whole_words = s.regex = true;
  c = grep_command(s, "/w/a.c");
  EXPECT_EQ(c.program, "grep");
  EXPECT_EQ(c.args, (std::vector<std::string>{"-w", "say \"hi\" now", "/w/a.c"}));
}

TEST(FindWalk, FoldersPatternsAndCount) {
  TempDir t;
  const fs::path& d = t.path;
  put(d / "b.c", "");
  put(d / "A.H", "");
  put(d / "notes.txt", "");
  put(d / "sub/c.s09", "");
  put(d / ".git/x.c", "");
  put(d / "sub/.hidden/y.c", "");
  fs::create_directory(d / "main.c");  // a folder is no file even when its name matches
  fs::create_directory_symlink(d, d / "sub/loop");  // followed, it would never end
  FakeGrep g;
  g.results = {{"b.c", 3}, {"c.s09", 2}};
  FileSearch search(g.hooks());
  FindSettings s = settings_for(d, "main", "*.c;*.h;*.s09", true);
  EXPECT_EQ(search.run(s, "/"), FileSearch::Outcome::Finished);
  EXPECT_EQ(g.files(d), (std::vector<std::string>{"b.c", "A.H", "sub/c.s09"}));
  EXPECT_EQ(search.occurrences(), 6);
  EXPECT_EQ(g.printed, "Searching for 'main'\nSearch finished, 6 occurance(s) found\n");

  // Without subfolders; a relative folder lies below the current directory.
  g = FakeGrep();
  g.results = {{"b.c", 0}, {"A.H", 0}};
  FileSearch flat(g.hooks());
  s = settings_for(d.filename(), "main", "*.c;*.h;*.s09", false);
  EXPECT_EQ(flat.run(s, d.parent_path().string()), FileSearch::Outcome::Finished);
  EXPECT_EQ(g.files(d), (std::vector<std::string>{"b.c", "A.H"}));
  EXPECT_EQ(g.printed, "Searching for 'main'\nSearch finished, no occurances found\n");

  // A folder that is not there: nothing runs, nothing is printed.
  g = FakeGrep();
  FileSearch none(g.hooks());
  s = settings_for(d / "missing", "main", "*.c", true);
  EXPECT_EQ(none.run(s, "/"), FileSearch::Outcome::NoFolder);
  EXPECT_TRUE(g.runs.empty());
  EXPECT_EQ(g.printed, "");
}

TEST(FindWalk, CancelFailuresAndBadExpressions) {
  TempDir t;
  for (const char* f : {"a.c", "b.c", "c.c"}) put(t.path / f, "");
  FakeGrep g;
  FileSearch search(g.hooks());
  // The cancel command arrives while the second file is prepared.
  int polls = 0;
  g.on_poll = [&] {
    if (++polls == 2) search.cancel();
  };
  FindSettings s = settings_for(t.path, "x", "*.c", false);
  EXPECT_EQ(search.run(s, "/"), FileSearch::Outcome::Cancelled);
  EXPECT_EQ(g.runs.size(), 1u);
  EXPECT_EQ(g.printed, "Searching for 'x'\nSearch cancelled\n");

  // A stopped program cancels the search as well.
  g = FakeGrep();
  g.results = {{"a.c", run_cancelled}};
  FileSearch stopped(g.hooks());
  EXPECT_EQ(stopped.run(s, "/"), FileSearch::Outcome::Cancelled);
  EXPECT_EQ(g.runs.size(), 1u);

  // grep's failure (an unreadable file) adds nothing; a program that cannot
  // start ends the search instead of counting its result.
  g = FakeGrep();
  g.results = {{"a.c", 255}, {"b.c", 4}, {"c.c", run_not_started}};
  FileSearch failing(g.hooks());
  EXPECT_EQ(failing.run(s, "/"), FileSearch::Outcome::Stopped);
  EXPECT_EQ(failing.occurrences(), 4);
  EXPECT_EQ(g.printed, "Searching for 'x'\nSearch stopped, fgrep could not be run\n");

  g = FakeGrep();
  FileSearch bad(g.hooks());
  s = settings_for(t.path, "ma(in", "*.c", false);
  s.regex = true;
  EXPECT_EQ(bad.run(s, "/"), FileSearch::Outcome::BadExpression);
  EXPECT_NE(bad.error().find("ma(in"), std::string::npos);
  EXPECT_TRUE(g.runs.empty());
}

TEST(FindPrograms, FgrepAndGrepPrintHitLinesAndCountThem) {
  TempDir t;
  put(t.path / "x/main.c", "int main(void)\r\n{\n  return Main_x; /* \"main\" */\n}\rmainly\n-main\n");
  auto r = run_in(t.path, "$BIN/fgrep -y \"main\" \"x/main.c\"");
  EXPECT_EQ(r.out,
            "\"x/main.c\" (1) int main(void)\n"
            "\"x/main.c\" (3)   return Main_x; /* \"main\" */\n"
            "\"x/main.c\" (5) mainly\n"
            "\"x/main.c\" (6) -main\n");
  EXPECT_EQ(r.rc, 4);
  r = run_in(t.path, "$BIN/fgrep -w main x/main.c");  // case counts, whole words only
  EXPECT_EQ(r.rc, 3);
  r = run_in(t.path, "$BIN/fgrep '\"main\"' x/main.c");  // quotes are part of the text
  EXPECT_EQ(r.out, "\"x/main.c\" (3)   return Main_x; /* \"main\" */\n");
  r = run_in(t.path, "$BIN/fgrep -y -main 'x\\main.c'");  // the last two are text and file
  EXPECT_EQ(r.out, "\"x\\main.c\" (6) -main\n");

  r = run_in(t.path, "$BIN/grep '^[a-z]+ly$|^}$' x/main.c");
  EXPECT_EQ(r.out, "\"x/main.c\" (4) }\n\"x/main.c\" (5) mainly\n");
  EXPECT_EQ(r.rc, 2);
  r = run_in(t.path, "$BIN/grep -w 'Ma.n' x/main.c");
  EXPECT_EQ(r.rc, 0);  // Main_x is no whole word
  r = run_in(t.path, "$BIN/grep -y -w 'Ma.n' x/main.c");
  EXPECT_EQ(r.rc, 3);
}

TEST(FindPrograms, FailuresAndTheHitLimit) {
  TempDir t;
  std::string many;
  for (int i = 0; i < 300; ++i) many += "hit\n";
  put(t.path / "many.c", many);
  EXPECT_EQ(run_in(t.path, "$BIN/fgrep hit many.c >/dev/null").rc, 254);
  auto r = run_in(t.path, "$BIN/fgrep hit missing.c");
  EXPECT_EQ(r.rc, 255);
  EXPECT_NE(r.err.find("can't open \"missing.c\""), std::string::npos);
  EXPECT_EQ(run_in(t.path, "$BIN/grep '(' many.c").rc, 255);
  EXPECT_EQ(run_in(t.path, "$BIN/fgrep -q hit many.c").rc, 255);
  EXPECT_EQ(run_in(t.path, "$BIN/fgrep hit").rc, 255);
  EXPECT_EQ(run_in(t.path, "$BIN/fgrep hit .").rc, 255);  // a folder
}

// A line is any bytes up to its end: '.' and every other set take a NUL, as
// GNU grep -a does, and a fixed text is found beside one.
TEST(FindPrograms, EveryByteIsACharacter) {
  TempDir t;
  const char text[] = "a\0b\nA\0\0B\nx\xff\x01y\na b\0\n\0";
  put(t.path / "n.c", std::string(text, sizeof text - 1));
  auto r = run_in(t.path, "$BIN/grep 'a.b' n.c");
  const char hits[] = "\"n.c\" (1) a\0b\n\"n.c\" (4) a b\0\n";
  EXPECT_EQ(r.out, std::string(hits, sizeof hits - 1));
  EXPECT_EQ(r.rc, 2);
  EXPECT_EQ(run_in(t.path, "$BIN/grep -y 'a..b' n.c >/dev/null").rc, 1);
  EXPECT_EQ(run_in(t.path, "$BIN/grep -w 'a.b' n.c >/dev/null").rc, 2);
  EXPECT_EQ(run_in(t.path, "$BIN/grep '^.$' n.c >/dev/null").rc, 1);  // the last line, a NUL alone
  EXPECT_EQ(run_in(t.path, "$BIN/grep 'a[^x]b|x..y' n.c >/dev/null").rc, 3);
  EXPECT_EQ(run_in(t.path, "$BIN/grep '^[[:cntrl:]]+$' n.c >/dev/null").rc, 1);
  EXPECT_EQ(run_in(t.path, "$BIN/fgrep -y b n.c >/dev/null").rc, 3);
  EXPECT_EQ(run_in(t.path, "$BIN/fgrep -w y n.c >/dev/null").rc, 1);
}

// The file is read in large blocks: line ends, hits and line numbers come out
// the same on both sides of a block's edge, whatever the line ends are, and a
// line beyond the limit ends the search after the hits before it.
TEST(FindPrograms, LinesAcrossBlocksAndTheLineLimit) {
  TempDir t;
  std::string text, expected;
  const std::string ends[] = {"\n", "\r\n", "\r"};
  size_t number = 0;
  for (size_t k = 0; text.size() < (size_t{3} << 20); ++k) {
    std::string line = "line " + std::to_string(k) + std::string(k % 97, '.') + (k % 13 == 0 ? " hit" : "");
    text += line + ends[k % 7 == 0 ? k % 3 : 0];
    ++number;
    if (k % 13 == 0) expected += "\"big.c\" (" + std::to_string(number) + ") " + line + "\n";
  }
  text += "hit without an end";
  expected += "\"big.c\" (" + std::to_string(number + 1) + ") hit without an end\n";
  put(t.path / "big.c", text);
  for (const char* program : {"fgrep", "grep"}) {
    auto r = run_in(t.path, std::string("$BIN/") + program + " hit big.c");
    EXPECT_EQ(r.out, expected) << program;
    EXPECT_EQ(r.rc, 254);
    r = run_in(t.path, std::string("$BIN/") + program + " -y -w 'line 7' big.c");
    EXPECT_EQ(r.out, "\"big.c\" (8) line 7.......\n") << program;
  }
  // A CR LF split over two reads of a pipe-sized block still ends one line.
  for (size_t at : {size_t{4095}, size_t{65535}, size_t{65536}, size_t{131071}}) {
    std::string edge(at, 'x');
    edge += "\r\nhit\r\rhit\n";
    put(t.path / "edge.c", edge);
    auto r = run_in(t.path, "$BIN/fgrep hit edge.c");
    EXPECT_EQ(r.out, "\"edge.c\" (2) hit\n\"edge.c\" (4) hit\n") << at;
  }
  put(t.path / "empty.c", "");
  EXPECT_EQ(run_in(t.path, "$BIN/grep '' empty.c").out, "");
  put(t.path / "ends.c", "\n\r\n\r");
  EXPECT_EQ(run_in(t.path, "$BIN/grep -w '' ends.c").rc, 3);
  EXPECT_EQ(run_in(t.path, "$BIN/fgrep '' ends.c").rc, 3);

  const size_t limit = size_t{1} << 20;
  std::string longest = "hit\n" + std::string(limit, 'h') + "\n" + "hit\n";
  put(t.path / "longest.c", longest);
  EXPECT_EQ(run_in(t.path, "$BIN/fgrep hit longest.c >/dev/null").rc, 2);
  put(t.path / "long.c", "hit\nmore\r\n" + std::string(limit + 1, 'h') + "\nhit\n");
  for (const char* program : {"fgrep", "grep"}) {
    auto r = run_in(t.path, std::string("$BIN/") + program + " hit long.c");
    EXPECT_EQ(r.rc, 255);
    EXPECT_EQ(r.out, "\"long.c\" (1) hit\n");
    EXPECT_NE(r.err.find("line 3 of \"long.c\" is longer than 1048576 characters"), std::string::npos) << r.err;
  }
}
