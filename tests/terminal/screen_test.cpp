// The terminal screen against a plain model (a list of lines that scrolls by
// erasing its first), on random byte streams with a resize in the middle,
// and the screen's edge cases; the log of a terminal.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "debugger/terminal/terminal.h"
#include "tests/terminal/pty_board.h"

namespace zun::term {
namespace {

// What the screen should show, written the plainest way.
struct ModelScreen {
  int cols, rows, x = 0, y = 0;
  std::vector<std::string> lines;
  ModelScreen(int c, int r) : cols(c), rows(r), lines(size_t(r), std::string(size_t(c), ' ')) {}

  void down() {
    if (y < rows - 1) {
      ++y;
    } else {
      lines.erase(lines.begin());
      lines.push_back(std::string(size_t(cols), ' '));
    }
  }
  void clear_rest() { lines[size_t(y)].replace(size_t(x), std::string::npos, size_t(cols - x), ' '); }
  void feed(uint8_t b, int tr) {
    if (x == cols) {
      x = 0;
      down();
    } else if (b == 8) {
      if (x > 0) lines[size_t(y)][size_t(--x)] = ' ';
      return;
    } else if (b == 13) {
      if (tr == 1) return;
      clear_rest();
      if (tr == 2) x = 0, down();
      return;
    } else if (b == 10) {
      if (tr == 2) return;
      if (tr == 1) clear_rest(), x = 0;
      down();
      return;
    }
    if (b == 9) {
      int stop = std::min(cols, (x / 8 + 1) * 8);
      while (x < stop) lines[size_t(y)][size_t(x++)] = ' ';
    } else if (b >= 32 && b < 128) {
      lines[size_t(y)][size_t(x++)] = char(b);
    }
  }
  void resize(int c, int r) {
    std::vector<std::string> kept(lines.begin() + std::max(0, y + 1 - r), lines.begin() + y + 1);
    for (std::string& l : kept) l.resize(size_t(c), ' ');
    y = int(kept.size()) - 1;
    kept.resize(size_t(r), std::string(size_t(c), ' '));
    lines = kept;
    cols = c;
    rows = r;
    if (x > c) x = 0;
  }
  std::string text() const {
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
  }
};

uint8_t random_byte(std::mt19937& rng) {
  static constexpr uint8_t specials[] = {8, 9, 10, 13, 0, 27, 127, 128, 200, 255};
  unsigned pick = rng() % 100;
  if (pick < 55) return uint8_t('a' + rng() % 26);
  if (pick < 90) return specials[pick % 4];
  return specials[4 + rng() % 6];
}

TEST(Screen, MatchesThePlainModelOnRandomStreams) {
  for (int tr = 0; tr < 3; ++tr) {
    std::mt19937 rng(unsigned(1000 + tr));
    for (int stream = 0; stream < 100000; ++stream) {
      int cols = 1 + int(rng() % 20), rows = 1 + int(rng() % 7);
      Screen screen(cols, rows);
      ModelScreen model(cols, rows);
      const int length = int(rng() % 100), resize_at = int(rng() % 100);
      std::string bytes;
      for (int i = 0; i < length; ++i) {
        if (i == resize_at) {
          int c = 1 + int(rng() % 20), r = 1 + int(rng() % 7);
          ASSERT_TRUE(screen.resize(c, r));
          model.resize(c, r);
          bytes += "<resize>";
        }
        uint8_t b = random_byte(rng);
        bytes += char(b);
        screen.feed(b, tr);
        model.feed(b, tr);
      }
      ASSERT_EQ(screen.text(), model.text()) << "translation " << tr << " stream " << stream;
      ASSERT_EQ(screen.cursor_column(), model.x) << "stream " << stream;
      ASSERT_EQ(screen.cursor_row(), model.y) << "stream " << stream;
    }
  }
}

void feed(Screen& s, std::string_view bytes, int tr = 1) {
  for (char c : bytes) s.feed(uint8_t(c), tr);
}

TEST(Screen, EdgeCases) {
  Screen s;
  feed(s, "AB\tC");
  EXPECT_EQ(s.row_text(0).substr(0, 10), "AB      C ");
  EXPECT_EQ(s.cursor_column(), 9);
  feed(s, "\r\n\b\bx\x80\xff\x1b");  // CR ignored, LF ends the line once; BS at column 0
  EXPECT_EQ(s.cursor_row(), 1);
  EXPECT_EQ(s.row_text(1).substr(0, 2), "x ");
  EXPECT_EQ(s.cursor_column(), 1);

  Screen wrap;
  feed(wrap, std::string(80, 'a') + "b");
  EXPECT_EQ(wrap.row_text(1).substr(0, 2), "b ");
  // A line that fills the screen's width, then a full screen's lines.
  Screen full(10, 3);
  feed(full, "1\n2\n3\n4");
  EXPECT_EQ(full.text(), "2         \n3         \n4         \n");
  feed(full, "\r\n", 2);  // CR ends the line with translation 2, LF is ignored
  EXPECT_EQ(full.text(), "3         \n4         \n          \n");
  feed(full, "0123456789X", 1);  // the wrapped byte shows even as the screen scrolls
  EXPECT_EQ(full.text(), "4         \n0123456789\nX         \n");

  EXPECT_FALSE(full.resize(1000, 1000));
  EXPECT_EQ(full.columns(), 10);
  ASSERT_TRUE(full.resize(4, 2));
  EXPECT_EQ(full.text(), "0123\nX   \n");
  EXPECT_EQ(full.cursor_row(), 1);
  EXPECT_EQ(full.cursor_column(), 1);
}

TEST(Terminal, LogHoldsTheInputWithoutCarriageReturns) {
  namespace fs = std::filesystem;
  const fs::path old_dir = fs::current_path();
  fs::path dir = fs::temp_directory_path() / ("zun_log_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
  std::ofstream("logfile.log") << std::string(5000, 'z');  // an older, longer log
  TerminalSettings slots;
  test::RecordingHost host;
  Terminal t(0, slots, host);
  ASSERT_TRUE(t.start_logging());
  EXPECT_EQ(t.caption(), "(COM1:0,N,8,1)  Terminal log= logfile.log");
  std::mt19937 rng(7);
  std::string input, expected;
  for (int i = 0; i < 20000; ++i) {
    char c = char(rng() % 4 == 0 ? "\r\n\t\b"[rng() % 4] : rng() % 256);
    input += c;
    if (c != '\r') expected += c;
  }
  t.receive(input.substr(0, 7000));
  t.receive(input.substr(7000));
  t.stop_logging();
  std::ifstream log("logfile.log", std::ios::binary);
  std::ostringstream got;
  got << log.rdbuf();
  EXPECT_EQ(got.str(), expected);
  fs::current_path(old_dir);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zun::term
